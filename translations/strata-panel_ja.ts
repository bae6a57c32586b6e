<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>AboutDialog</name>
    <message>
        <source>KORVEN Strata Mixer</source>
        <translation>KORVEN Strata Mixer</translation>
    </message>
    <message>
        <source>USB Audio Interface&lt;p&gt;KORVEN StrataMixer</source>
        <translation>USB オーディオインターフェース&lt;p&gt;KORVEN StrataMixer</translation>
    </message>
    <message>
        <source>Software Ver. : V</source>
        <translation>ソフトウェアバージョン：V</translation>
    </message>
    <message>
        <source>Copyright (c) 2026 The Strata panel authors. Free software under the MIT License.</source>
        <translation>Copyright (c) 2026 Strata パネルの作者。MIT ライセンスのフリーソフトウェアです。</translation>
    </message>
</context>
<context>
    <name>KeyboardAccess</name>
    <message>
        <source>Meters page</source>
        <translation>メーターページ</translation>
    </message>
    <message>
        <source>Information page</source>
        <translation>情報ページ</translation>
    </message>
    <message>
        <source>Peak hold off</source>
        <translation>ピークホールド オフ</translation>
    </message>
    <message>
        <source>Peak hold 1 second</source>
        <translation>ピークホールド 1秒</translation>
    </message>
    <message>
        <source>Peak hold 3 seconds</source>
        <translation>ピークホールド 3秒</translation>
    </message>
    <message>
        <source>Peak hold infinite</source>
        <translation>ピークホールド 無限</translation>
    </message>
    <message>
        <source>Clear all held peaks</source>
        <translation>保持したピークをすべてクリア</translation>
    </message>
    <message>
        <source>Meter source: MTR SOURCE</source>
        <translation>メーターソース：MTR SOURCE</translation>
    </message>
    <message>
        <source>Meter source: MIC / LINE</source>
        <translation>メーターソース：MIC / LINE</translation>
    </message>
    <message>
        <source>Meter source: USB RETURN</source>
        <translation>メーターソース：USB RETURN</translation>
    </message>
    <message>
        <source>Meter source: MTR RETURN</source>
        <translation>メーターソース：MTR RETURN</translation>
    </message>
</context>
<context>
    <name>LicenseDialog</name>
    <message>
        <source>License Information</source>
        <translation>ライセンス情報</translation>
    </message>
    <message>
        <source>File Missing!</source>
        <translation>ファイルが見つかりません</translation>
    </message>
    <message>
        <source>There is a possibility that the file has been moved or deleted.</source>
        <translation>ファイルが移動または削除された可能性があります。</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>KORVEN StrataMixer Settings Panel</source>
        <translation>KORVEN StrataMixer 設定パネル</translation>
    </message>
    <message>
        <source>INFORMATION</source>
        <translation>情報</translation>
    </message>
    <message>
        <source>METERS</source>
        <translation>メーター</translation>
    </message>
    <message>
        <source>Software version    :</source>
        <translation>ソフトバージョン：</translation>
    </message>
    <message>
        <source>Firmware version   :</source>
        <translation>ファームウェア：</translation>
    </message>
    <message>
        <source>No Device</source>
        <translation>デバイスなし</translation>
    </message>
    <message>
        <source>Sample rate          :</source>
        <translation>サンプルレート：</translation>
    </message>
    <message>
        <source>Buffer size              :</source>
        <translation>バッファサイズ：</translation>
    </message>
    <message>
        <source>128 samples</source>
        <translation>128 サンプル</translation>
    </message>
    <message>
        <source>Serial number :</source>
        <translation>シリアル番号：</translation>
    </message>
    <message>
        <source>MAIN</source>
        <translation>メイン</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>オフ</translation>
    </message>
    <message>
        <source>1 SEC</source>
        <translation>1秒</translation>
    </message>
    <message>
        <source>3 SEC</source>
        <translation>3秒</translation>
    </message>
    <message>
        <source>CLEAR</source>
        <translation>クリア</translation>
    </message>
    <message>
        <source>PEAK HOLD</source>
        <translation>ピーク保持</translation>
    </message>
    <message>
        <source>METER SELECT</source>
        <translation>メーター選択</translation>
    </message>
    <message>
        <source>MTR SOURCE</source>
        <translatorcomment>名前は英語のまま（意図的）：ユニットの信号ポイント名で、アクセシブル名「メーターソース：MTR SOURCE」と同じ表記。</translatorcomment>
        <translation>MTR SOURCE</translation>
    </message>
    <message>
        <source>MIC / LINE</source>
        <translatorcomment>名前は英語のまま（意図的）：ユニットの信号ポイント名で、アクセシブル名「メーターソース：MTR SOURCE」と同じ表記。</translatorcomment>
        <translation>MIC / LINE</translation>
    </message>
    <message>
        <source>USB RETURN</source>
        <translatorcomment>名前は英語のまま（意図的）：ユニットの信号ポイント名で、アクセシブル名「メーターソース：MTR SOURCE」と同じ表記。</translatorcomment>
        <translation>USB RETURN</translation>
    </message>
    <message>
        <source>MTR RETURN</source>
        <translatorcomment>名前は英語のまま（意図的）：ユニットの信号ポイント名で、アクセシブル名「メーターソース：MTR SOURCE」と同じ表記。</translatorcomment>
        <translation>MTR RETURN</translation>
    </message>
    <message>
        <source>Device is not connected</source>
        <translation>デバイスが接続されていません</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>ウィンドウ(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>- KORVEN &amp;Website</source>
        <translation>- KORVEN ウェブサイト(&amp;W)</translation>
    </message>
    <message>
        <source>- &amp;About...</source>
        <translation>- バージョン情報(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;Default</source>
        <translation>標準サイズ(&amp;D)</translation>
    </message>
    <message>
        <source>Ma&amp;ximum</source>
        <translation>最大(&amp;X)</translation>
    </message>
    <message>
        <source>Mi&amp;nimum</source>
        <translation>最小(&amp;N)</translation>
    </message>
    <message>
        <source>- &amp;Update</source>
        <translation>- アップデート(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Product Information</source>
        <translation>製品情報(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;FAQs</source>
        <translation>よくある質問(&amp;F)</translation>
    </message>
    <message>
        <source>KORVEN &amp;ID</source>
        <translation>KORVEN ID(&amp;I)</translation>
    </message>
    <message>
        <source>Product &amp;Manual</source>
        <translation>製品マニュアル(&amp;M)</translation>
    </message>
    <message>
        <source>&amp;License</source>
        <translation>ライセンス(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;KORVEN StrataMixer</source>
        <translation>KORVEN StrataMixer(&amp;K)</translation>
    </message>
    <message>
        <source>Settings cannot be saved to %1</source>
        <translation>設定を %1 に保存できません</translation>
    </message>
    <message>
        <source>Check the USB cable and, on Linux, the udev rule. To try the panel without a unit, start it with --simulate &quot;Strata 96&quot;.</source>
        <translation>USB ケーブルと、Linux では udev ルールを確認してください。本体なしでパネルを試すには、--simulate &quot;Strata 96&quot; を付けて起動してください。</translation>
    </message>
    <message>
        <source>The firmware update is still running. The panel can be closed when it has finished.</source>
        <translation>ファームウェアのアップデートを実行中です。完了してからパネルを閉じてください。</translation>
    </message>
</context>
<context>
    <name>PanelFirmwareUpdate</name>
    <message>
        <source>Update the firmware of the Strata 96 now?

Do not unplug the unit or close the panel until the update has finished.</source>
        <translation>Strata 96 のファームウェアを今すぐアップデートしますか？

アップデートが完了するまで、本体を取り外したりパネルを閉じたりしないでください。</translation>
    </message>
    <message>
        <source>No unit is connected. Connect the Strata 96 and start the update again.</source>
        <translation>本体が接続されていません。Strata 96 を接続して、もう一度アップデートを開始してください。</translation>
    </message>
    <message>
        <source>The connected unit is a %1; only the Strata 96 takes this firmware.</source>
        <translation>接続されている本体は %1 です。このファームウェアは Strata 96 専用です。</translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation>ファームウェアアップデート</translation>
    </message>
    <message>
        <source>The firmware update has finished: the unit has verified the new firmware.</source>
        <translation>ファームウェアのアップデートが完了しました。本体が新しいファームウェアを確認しました。</translation>
    </message>
    <message>
        <source>The unit cancelled the firmware update.</source>
        <translation>本体がファームウェアのアップデートを中止しました。</translation>
    </message>
    <message>
        <source>The unit was disconnected during the firmware update. Connect it again and repeat the update.</source>
        <translation>ファームウェアのアップデート中に本体が切断されました。もう一度接続して、アップデートをやり直してください。</translation>
    </message>
    <message>
        <source>The firmware update failed: the unit did not take or verify the image. If it was disconnected, connect it again and repeat the update.</source>
        <translation>ファームウェアのアップデートに失敗しました。本体がイメージを受け取らなかったか、確認できませんでした。切断された場合は、もう一度接続してアップデートをやり直してください。</translation>
    </message>
</context>
<context>
    <name>PeakReadoutAccessible</name>
    <message>
        <source>no signal</source>
        <translation>信号なし</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>Channel %1 peak, %2</source>
        <translation>チャンネル %1 ピーク、%2</translation>
    </message>
    <message>
        <source>Main L peak, %1</source>
        <translation>メイン L ピーク、%1</translation>
    </message>
    <message>
        <source>Main R peak, %1</source>
        <translation>メイン R ピーク、%1</translation>
    </message>
    <message>
        <source>Press to clear the held peak</source>
        <translation>押すと保持したピークをクリアします</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source> (simulated unit)</source>
        <translation>（シミュレーション）</translation>
    </message>
</context>
</TS>
