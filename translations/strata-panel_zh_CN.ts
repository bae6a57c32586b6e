<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>KORVEN Strata Mixer</source>
        <translation>KORVEN Strata Mixer</translation>
    </message>
    <message>
        <source>USB Audio Interface&lt;p&gt;KORVEN StrataMixer</source>
        <translation>USB 音频接口&lt;p&gt;KORVEN StrataMixer</translation>
    </message>
    <message>
        <source>Software Ver. : V</source>
        <translation>软件版本：V</translation>
    </message>
    <message>
        <source>Copyright (c) 2026 The Strata panel authors. Free software under the MIT License.</source>
        <translation>Copyright (c) 2026 Strata 面板作者。基于 MIT 许可证的自由软件。</translation>
    </message>
</context>
<context>
    <name>KeyboardAccess</name>
    <message>
        <source>Meters page</source>
        <translation>电平表页面</translation>
    </message>
    <message>
        <source>Information page</source>
        <translation>信息页面</translation>
    </message>
    <message>
        <source>Peak hold off</source>
        <translation>峰值保持 关</translation>
    </message>
    <message>
        <source>Peak hold 1 second</source>
        <translation>峰值保持 1 秒</translation>
    </message>
    <message>
        <source>Peak hold 3 seconds</source>
        <translation>峰值保持 3 秒</translation>
    </message>
    <message>
        <source>Peak hold infinite</source>
        <translation>峰值保持 无限</translation>
    </message>
    <message>
        <source>Clear all held peaks</source>
        <translation>清除所有保持的峰值</translation>
    </message>
    <message>
        <source>Meter source: MTR SOURCE</source>
        <translation>电平表信号源：MTR SOURCE</translation>
    </message>
    <message>
        <source>Meter source: MIC / LINE</source>
        <translation>电平表信号源：MIC / LINE</translation>
    </message>
    <message>
        <source>Meter source: USB RETURN</source>
        <translation>电平表信号源：USB RETURN</translation>
    </message>
    <message>
        <source>Meter source: MTR RETURN</source>
        <translation>电平表信号源：MTR RETURN</translation>
    </message>
</context>
<context>
    <name>LicenseDialog</name>
    <message>
        <source>License Information</source>
        <translation>许可证信息</translation>
    </message>
    <message>
        <source>File Missing!</source>
        <translation>文件缺失！</translation>
    </message>
    <message>
        <source>There is a possibility that the file has been moved or deleted.</source>
        <translation>该文件可能已被移动或删除。</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>KORVEN StrataMixer Settings Panel</source>
        <translation>KORVEN StrataMixer 设置面板</translation>
    </message>
    <message>
        <source>INFORMATION</source>
        <translation>信息</translation>
    </message>
    <message>
        <source>METERS</source>
        <translation>电平表</translation>
    </message>
    <message>
        <source>Software version    :</source>
        <translation>软件版本：</translation>
    </message>
    <message>
        <source>Firmware version   :</source>
        <translation>固件版本：</translation>
    </message>
    <message>
        <source>No Device</source>
        <translation>无设备</translation>
    </message>
    <message>
        <source>Sample rate          :</source>
        <translation>采样率：</translation>
    </message>
    <message>
        <source>Buffer size              :</source>
        <translation>缓冲区大小：</translation>
    </message>
    <message>
        <source>128 samples</source>
        <translation>128 个采样</translation>
    </message>
    <message>
        <source>Serial number :</source>
        <translation>序列号：</translation>
    </message>
    <message>
        <source>MAIN</source>
        <translation>主输出</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>关</translation>
    </message>
    <message>
        <source>1 SEC</source>
        <translation>1 秒</translation>
    </message>
    <message>
        <source>3 SEC</source>
        <translation>3 秒</translation>
    </message>
    <message>
        <source>CLEAR</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>PEAK HOLD</source>
        <translation>峰值保持</translation>
    </message>
    <message>
        <source>METER SELECT</source>
        <translation>电平表选择</translation>
    </message>
    <message>
        <source>MTR SOURCE</source>
        <translatorcomment>有意保留英文：这是本机信号点的名称，与无障碍名称“电平表信号源：MTR SOURCE”一致。</translatorcomment>
        <translation>MTR SOURCE</translation>
    </message>
    <message>
        <source>MIC / LINE</source>
        <translatorcomment>有意保留英文：这是本机信号点的名称，与无障碍名称“电平表信号源：MTR SOURCE”一致。</translatorcomment>
        <translation>MIC / LINE</translation>
    </message>
    <message>
        <source>USB RETURN</source>
        <translatorcomment>有意保留英文：这是本机信号点的名称，与无障碍名称“电平表信号源：MTR SOURCE”一致。</translatorcomment>
        <translation>USB RETURN</translation>
    </message>
    <message>
        <source>MTR RETURN</source>
        <translatorcomment>有意保留英文：这是本机信号点的名称，与无障碍名称“电平表信号源：MTR SOURCE”一致。</translatorcomment>
        <translation>MTR RETURN</translation>
    </message>
    <message>
        <source>Device is not connected</source>
        <translation>设备未连接</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>窗口(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>- KORVEN &amp;Website</source>
        <translation>- KORVEN 网站(&amp;W)</translation>
    </message>
    <message>
        <source>- &amp;About...</source>
        <translation>- 关于(&amp;A)...</translation>
    </message>
    <message>
        <source>&amp;Default</source>
        <translation>默认大小(&amp;D)</translation>
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
        <translation>- 更新(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Product Information</source>
        <translation>产品信息(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;FAQs</source>
        <translation>常见问题(&amp;F)</translation>
    </message>
    <message>
        <source>KORVEN &amp;ID</source>
        <translation>KORVEN ID(&amp;I)</translation>
    </message>
    <message>
        <source>Product &amp;Manual</source>
        <translation>产品手册(&amp;M)</translation>
    </message>
    <message>
        <source>&amp;License</source>
        <translation>许可证(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;KORVEN StrataMixer</source>
        <translation>KORVEN StrataMixer(&amp;K)</translation>
    </message>
    <message>
        <source>Settings cannot be saved to %1</source>
        <translation>无法将设置保存到 %1</translation>
    </message>
    <message>
        <source>Check the USB cable and, on Linux, the udev rule. To try the panel without a unit, start it with --simulate &quot;Strata 96&quot;.</source>
        <translation>请检查 USB 线缆，在 Linux 上还请检查 udev 规则。要在没有设备的情况下试用面板，请使用 --simulate &quot;Strata 96&quot; 启动。</translation>
    </message>
    <message>
        <source>The firmware update is still running. The panel can be closed when it has finished.</source>
        <translation>固件更新仍在进行中。更新完成后才能关闭面板。</translation>
    </message>
</context>
<context>
    <name>PanelFirmwareUpdate</name>
    <message>
        <source>Update the firmware of the Strata 96 now?

Do not unplug the unit or close the panel until the update has finished.</source>
        <translation>立即更新 Strata 96 的固件吗？

在更新完成之前，请勿拔下设备或关闭面板。</translation>
    </message>
    <message>
        <source>No unit is connected. Connect the Strata 96 and start the update again.</source>
        <translation>未连接设备。请连接 Strata 96 后重新开始更新。</translation>
    </message>
    <message>
        <source>The connected unit is a %1; only the Strata 96 takes this firmware.</source>
        <translation>所连接的设备是 %1；此固件仅适用于 Strata 96。</translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation>固件更新</translation>
    </message>
    <message>
        <source>The firmware update has finished: the unit has verified the new firmware.</source>
        <translation>固件更新已完成：设备已校验新固件。</translation>
    </message>
    <message>
        <source>The unit cancelled the firmware update.</source>
        <translation>设备取消了固件更新。</translation>
    </message>
    <message>
        <source>The unit was disconnected during the firmware update. Connect it again and repeat the update.</source>
        <translation>固件更新期间设备已断开。请重新连接并再次进行更新。</translation>
    </message>
    <message>
        <source>The firmware update failed: the unit did not take or verify the image. If it was disconnected, connect it again and repeat the update.</source>
        <translation>固件更新失败：设备未接收或未校验该映像。如果设备已断开，请重新连接并再次进行更新。</translation>
    </message>
</context>
<context>
    <name>PeakReadoutAccessible</name>
    <message>
        <source>no signal</source>
        <translation>无信号</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>Channel %1 peak, %2</source>
        <translation>通道 %1 峰值，%2</translation>
    </message>
    <message>
        <source>Main L peak, %1</source>
        <translation>主输出 L 峰值，%1</translation>
    </message>
    <message>
        <source>Main R peak, %1</source>
        <translation>主输出 R 峰值，%1</translation>
    </message>
    <message>
        <source>Press to clear the held peak</source>
        <translation>按下以清除保持的峰值</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source> (simulated unit)</source>
        <translation>（模拟设备）</translation>
    </message>
</context>
</TS>
