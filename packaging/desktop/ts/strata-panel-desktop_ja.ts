<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>DesktopEntry</name>
    <message>
        <source>Strata Settings Panel</source>
        <comment>Name</comment>
        <translation>Strata 設定パネル</translation>
    </message>
    <message>
        <source>Mixer Settings</source>
        <comment>GenericName</comment>
        <translation>ミキサー設定</translation>
    </message>
    <message>
        <source>Identify a KORVEN Strata USB mixer and watch its level meters</source>
        <comment>Comment</comment>
        <translation>KORVEN Strata USB ミキサーを識別し、レベルメーターを表示します</translation>
    </message>
    <message>
        <source>The settings panel of the KORVEN Strata 96, 10, 14 and 20 USB mixers. It recognises the connected unit and shows its model, firmware version, sample rate and serial number.</source>
        <comment>Description1</comment>
        <translation>KORVEN Strata 96、10、14、20 USB ミキサーの設定パネルです。接続された機器を認識し、モデル、ファームウェアのバージョン、サンプルレート、シリアル番号を表示します。</translation>
    </message>
    <message>
        <source>For the Strata 96 it shows live level meters of all channels with a selectable meter source, peak hold and over indicators. A command-line tool, stratactl, reads and sets the same values from scripts.</source>
        <comment>Description2</comment>
        <translation>Strata 96 では、全チャンネルのレベルメーターをリアルタイムで表示し、メーターソースの選択、ピークホールド、オーバー表示に対応します。コマンドラインツール stratactl で、同じ値をスクリプトから読み書きできます。</translation>
    </message>
</context>
</TS>
