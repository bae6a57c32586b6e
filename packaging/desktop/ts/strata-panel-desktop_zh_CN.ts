<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>DesktopEntry</name>
    <message>
        <source>Strata Settings Panel</source>
        <comment>Name</comment>
        <translation>Strata 设置面板</translation>
    </message>
    <message>
        <source>Mixer Settings</source>
        <comment>GenericName</comment>
        <translation>调音台设置</translation>
    </message>
    <message>
        <source>Identify a KORVEN Strata USB mixer and watch its level meters</source>
        <comment>Comment</comment>
        <translation>识别 KORVEN Strata USB 调音台并查看其电平表</translation>
    </message>
    <message>
        <source>The settings panel of the KORVEN Strata 96, 10, 14 and 20 USB mixers. It recognises the connected unit and shows its model, firmware version, sample rate and serial number.</source>
        <comment>Description1</comment>
        <translation>KORVEN Strata 96、10、14 和 20 USB 调音台的设置面板。它识别所连接的设备，并显示其型号、固件版本、采样率和序列号。</translation>
    </message>
    <message>
        <source>For the Strata 96 it shows live level meters of all channels with a selectable meter source, peak hold and over indicators. A command-line tool, stratactl, reads and sets the same values from scripts.</source>
        <comment>Description2</comment>
        <translation>对于 Strata 96，它实时显示所有通道的电平表，可选择测量源，并提供峰值保持和过载指示。命令行工具 stratactl 可在脚本中读取和设置相同的数值。</translation>
    </message>
</context>
</TS>
