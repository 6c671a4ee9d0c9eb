<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Tessavo智能车调试助手 V1.0 Bate</source>
        <translation>Tessavo Smart Car Debugger V1.0 Beta</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>有问题或建议请发邮件到：</source>
        <translation>Questions and ideas: </translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
</context>
<context>
    <name>AlgorithmDll</name>
    <message>
        <source>动态链接库(*.dll)</source>
        <translation>Libraries (*.dll)</translation>
    </message>
    <message>
        <source>动态链接库(*.dylib)</source>
        <translation>Libraries (*.dylib)</translation>
    </message>
    <message>
        <source>动态链接库(*.so)</source>
        <translation>Libraries (*.so)</translation>
    </message>
    <message>
        <source>无效的dll</source>
        <translation>Invalid library</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>AlgorithmLibrary</name>
    <message>
        <source>%1 不是dll文件</source>
        <translation>%1 is not a library</translation>
    </message>
    <message>
        <source>无法载入%1</source>
        <translation>Cannot load %1</translation>
    </message>
    <message>
        <source>无效的dll:%1</source>
        <translation>Invalid library (no ImgProc): %1</translation>
    </message>
</context>
<context>
    <name>CCD</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>图像</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>二值化图像</source>
        <translation>Binarized picture</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>不缩放</source>
        <translation>1:1</translation>
    </message>
    <message>
        <source>自动缩放</source>
        <translation>Fit</translation>
    </message>
    <message>
        <source>图像宽度：</source>
        <translation>Width:</translation>
    </message>
    <message>
        <source>图像高度：</source>
        <translation>Height:</translation>
    </message>
    <message>
        <source>结束指令：</source>
        <translation>End byte:</translation>
    </message>
    <message>
        <source>数据</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>最大值：</source>
        <translation>Max:</translation>
    </message>
    <message>
        <source>最小值：</source>
        <translation>Min:</translation>
    </message>
    <message>
        <source>平均值：</source>
        <translation>Mean:</translation>
    </message>
    <message>
        <source>中间值：</source>
        <translation>Mid:</translation>
    </message>
    <message>
        <source>光标位置：</source>
        <translation>Cursor:</translation>
    </message>
    <message>
        <source>像素值：</source>
        <translation>Value:</translation>
    </message>
    <message>
        <source>二值化</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>中间值作为阀值</source>
        <translation>Midpoint</translation>
    </message>
    <message>
        <source>固定值作为阀值</source>
        <translation>Fixed</translation>
    </message>
    <message>
        <source>自定义算法</source>
        <translation>Plug-in</translation>
    </message>
    <message>
        <source>选择算法</source>
        <translation>Load…</translation>
    </message>
    <message>
        <source>保存数据</source>
        <translation>Save data</translation>
    </message>
    <message>
        <source>保存图像</source>
        <translation>Save picture</translation>
    </message>
    <message>
        <source>文本文件(*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>位图(*.bmp)</source>
        <translation>Bitmaps (*.bmp)</translation>
    </message>
    <message>
        <source>图像为空</source>
        <translation>There is no picture yet.</translation>
    </message>
    <message>
        <source>保存图像(PNG)</source>
        <translation>Save picture (PNG)</translation>
    </message>
    <message>
        <source>保存二值化图像(PNG)</source>
        <translation>Save binarized picture (PNG)</translation>
    </message>
    <message>
        <source>连续保存</source>
        <translation>Save series</translation>
    </message>
    <message>
        <source>0000000 张</source>
        <translation>0000000 saved</translation>
    </message>
    <message>
        <source>PNG图像(*.png)</source>
        <translation>PNG images (*.png)</translation>
    </message>
    <message>
        <source>选择保存图像的文件夹</source>
        <translation>Choose the folder for the pictures</translation>
    </message>
    <message>
        <source>0 张</source>
        <translation>0 saved</translation>
    </message>
    <message>
        <source>%1 张</source>
        <translation>%1 saved</translation>
    </message>
    <message>
        <source>图像格式</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>结束符</source>
        <translation>End byte</translation>
    </message>
    <message>
        <source>帧头</source>
        <translation>Header</translation>
    </message>
    <message>
        <source>其他尺寸</source>
        <translation>Other sizes</translation>
    </message>
    <message>
        <source>收到的图像为 %1 字节，与图像宽度×高度不符</source>
        <translation>Pictures of %1 bytes arrive, which does not match width × height</translation>
    </message>
    <message>
        <source>收到的图像为 %1 字节，可能是 %2</source>
        <translation>Pictures of %1 bytes arrive, likely %2</translation>
    </message>
    <message>
        <source>使用 %1</source>
        <translation>Use %1</translation>
    </message>
</context>
<context>
    <name>ComAssistant</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>数据接收</source>
        <translation>Receive</translation>
    </message>
    <message>
        <source>文本显示、文本发送和打开.txt文件所用的编码</source>
        <translation>The encoding of shown text, sent text and opened .txt files</translation>
    </message>
    <message>
        <source>时间戳</source>
        <translation>Timestamps</translation>
    </message>
    <message>
        <source>每行前显示它第一个字节收到的时间</source>
        <translation>Start each line with the time its first byte arrived</translation>
    </message>
    <message>
        <source>文本显示</source>
        <translation>Text display</translation>
    </message>
    <message>
        <source>十六进制显示</source>
        <translation>Hexadecimal display</translation>
    </message>
    <message>
        <source>保存数据</source>
        <translation>Save data</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>数据发送</source>
        <translation>Transmit</translation>
    </message>
    <message>
        <source>结尾</source>
        <translation>End</translation>
    </message>
    <message>
        <source>文本发送时在末尾附加的字符</source>
        <translation>Characters added at the end of text that is sent</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>\r\n</source>
        <translation>\r\n</translation>
    </message>
    <message>
        <source>\n</source>
        <translation>\n</translation>
    </message>
    <message>
        <source>\r</source>
        <translation>\r</translation>
    </message>
    <message>
        <source>串口打开时，按周期重复发送编辑框的内容</source>
        <translation>While the port is open, send the editor&apos;s contents again every period</translation>
    </message>
    <message>
        <source>定时发送</source>
        <translation>Repeat</translation>
    </message>
    <message>
        <source>定时发送的周期</source>
        <translation>The period of the repeated send</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>文本发送</source>
        <translation>Text send</translation>
    </message>
    <message>
        <source>十六进制发送</source>
        <translation>Hexadecimal send</translation>
    </message>
    <message>
        <source>打开文件</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>保存显示内容</source>
        <translation>Save what is shown</translation>
    </message>
    <message>
        <source>本地</source>
        <translation>System</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>数据发送失败！
请检查串口连接。</source>
        <translation>Sending failed.
Check the serial connection.</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>请先打开串口。</source>
        <translation>Open the port first.</translation>
    </message>
    <message>
        <source>不是有效的十六进制表示格式！
请使用0-9和A-F表示，并用空格隔开每个字节。
如： FA 29 AA BB 3B</source>
        <translation>This is not valid hexadecimal.
Use 0-9 and A-F, with a space between bytes.
For example: FA 29 AA BB 3B</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>发送数据大于4096字节，多余部分不能发送！</source>
        <translation>The data is larger than 4096 bytes; the bytes beyond cannot be sent.</translation>
    </message>
    <message>
        <source>文本文件(*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>%1不是普通文件，不能打开！</source>
        <translation>%1 is not a regular file and cannot be opened.</translation>
    </message>
    <message>
        <source>文件大于1MB，不能打开！</source>
        <translation>The file is larger than 1 MB and cannot be opened.</translation>
    </message>
    <message>
        <source>无法打开文件%1，是否被其他程序占用？</source>
        <translation>Cannot open %1. Is another program using it?</translation>
    </message>
    <message>
        <source>写入文件%1失败！</source>
        <translation>Writing to %1 failed.</translation>
    </message>
</context>
<context>
    <name>CommandTemplate</name>
    <message>
        <source>命令为空</source>
        <translation>The command is empty</translation>
    </message>
    <message>
        <source>小数位数应在0到%1之间</source>
        <translation>Decimals must be between 0 and %1</translation>
    </message>
    <message>
        <source>第%1个字符处的“{”没有配对的“}”</source>
        <translation>The “{” at character %1 has no matching “}”</translation>
    </message>
    <message>
        <source>未知的占位符{%1}</source>
        <translation>Unknown placeholder {%1}</translation>
    </message>
    <message>
        <source>{%1}需要数值，只能用于滑块和数值框</source>
        <translation>{%1} needs a value: only sliders and number boxes have one</translation>
    </message>
    <message>
        <source>{%1}只能用于十六进制模式</source>
        <translation>{%1} works in hex mode only</translation>
    </message>
    <message>
        <source>数值%1超出{%2}的范围</source>
        <translation>The value %1 does not fit {%2}</translation>
    </message>
    <message>
        <source>第%1个字符处不是一到两位的十六进制数</source>
        <translation>Character %1 does not start a hex byte of one or two digits</translation>
    </message>
    <message>
        <source>第%1个字符处的转义无效（可用\n \r \t \\ \xNN）</source>
        <translation>Invalid escape at character %1 (use \n \r \t \\ \xNN)</translation>
    </message>
</context>
<context>
    <name>ExportDialogs</name>
    <message>
        <source>无法打开文件%1，是否被其他程序占用？</source>
        <translation>Cannot open %1. Is another program using it?</translation>
    </message>
    <message>
        <source>写入文件%1失败！</source>
        <translation>Writing to %1 failed.</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>FrameHealth</name>
    <message>
        <source>帧 %1 · 丢弃 %2 · 重同步 %3 · %4 帧/s</source>
        <translation>Frames %1 · junk %2 · resync %3 · %4/s</translation>
    </message>
    <message>
        <source>行 %1 · 跳过 %2 · 错位 %3 · 溢出 %4 · %5 行/s</source>
        <translation>Lines %1 · skip %2 · bad %3 · lost %4 · %5/s</translation>
    </message>
    <message>
        <source>帧 %1 · 跳过 %2 · 错位 %3 · 溢出 %4 · %5 帧/s</source>
        <translation>Frames %1 · skip %2 · bad %3 · lost %4 · %5/s</translation>
    </message>
    <message>
        <source>单击“接收”计数或打开串口时清零</source>
        <translation>Zeroed by a click on the Rx count or when the port opens</translation>
    </message>
    <message>
        <source>帧 %1：解码的数据帧
丢弃 %2 B：不属于任何帧而丢弃的字节
重同步 %3：丢弃字节后重新找到帧头 FF FF 的次数
%4 帧/s：最近一秒解码的帧数
%5</source>
        <translation>Frames %1: data frames decoded
Junk %2 B: bytes thrown away as part of no frame
Resync %3: times the frame start FF FF was found again after bytes were thrown away
%4/s: frames decoded in the last second
%5</translation>
    </message>
    <message>
        <source>行 %1：显示的行
跳过 %2：完整但被同一批数据里更新的一行取代、没有显示的行
错位 %3：结束符 FF 没有紧跟在 128 个像素字节之后的次数
溢出 %4 B：接收缓冲区满时丢掉的最旧字节
%5 行/s：最近一秒显示的行数
%6</source>
        <translation>Lines %1: lines shown
Skip %2: complete lines not shown because a newer one came in the same delivery
Bad %3: times the end byte FF did not follow right after the 128 pixel bytes
Lost %4 B: oldest bytes dropped while the receive buffer was full
%5/s: lines shown in the last second
%6</translation>
    </message>
    <message>
        <source>帧 %1：显示的图像
跳过 %2：完整但被同一批数据里更新的一帧取代、没有显示的图像
错位 %3：结束符 FF 没有紧跟在 宽×高 个像素字节之后的次数
溢出 %4 B：接收缓冲区满时丢掉的最旧字节
%5 帧/s：最近一秒显示的图像数
%6</source>
        <translation>Frames %1: pictures shown
Skip %2: complete pictures not shown because a newer one came in the same delivery
Bad %3: times the end byte FF did not follow right after the width × height pixel bytes
Lost %4 B: oldest bytes dropped while the receive buffer was full
%5/s: pictures shown in the last second
%6</translation>
    </message>
</context>
<context>
    <name>LanguageButton</name>
    <message>
        <source>界面语言（Language），重新启动后生效</source>
        <translation>Language of the window, from the next start on</translation>
    </message>
    <message>
        <source>界面语言保持为%1</source>
        <translation>The window stays in %1</translation>
    </message>
    <message>
        <source>重新启动后界面语言改为%1</source>
        <translation>The window will be in %1 from the next start on</translation>
    </message>
</context>
<context>
    <name>LinearCCD</name>
    <message>
        <source>mainWin</source>
        <translation>mainWin</translation>
    </message>
    <message>
        <source>数据统计</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>最小值：</source>
        <translation>Min:</translation>
    </message>
    <message>
        <source>最大值：</source>
        <translation>Max:</translation>
    </message>
    <message>
        <source>平均值：</source>
        <translation>Mean:</translation>
    </message>
    <message>
        <source>中间值：</source>
        <translation>Mid:</translation>
    </message>
    <message>
        <source>注：
中间值=(最大值+最小值)/2</source>
        <translation>Note:
Mid = (Max + Min) / 2</translation>
    </message>
    <message>
        <source>二值化</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>中间值作为阀值</source>
        <translation>Midpoint</translation>
    </message>
    <message>
        <source>固定阀值</source>
        <translation>Fixed</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Plug-in</translation>
    </message>
    <message>
        <source>选择算法</source>
        <translation>Load…</translation>
    </message>
    <message>
        <source>请选择算法</source>
        <translation>Choose a plug-in</translation>
    </message>
    <message>
        <source>光标</source>
        <translation>Cursor</translation>
    </message>
    <message>
        <source>当前位置：</source>
        <translation>Position:</translation>
    </message>
    <message>
        <source>像素值：</source>
        <translation>Value:</translation>
    </message>
    <message>
        <source>波形图</source>
        <translation>Waveform</translation>
    </message>
    <message>
        <source>灰度图</source>
        <translation>Grey levels</translation>
    </message>
    <message>
        <source>二值化图</source>
        <translation>Binarized</translation>
    </message>
    <message>
        <source>保存数据(CSV)</source>
        <translation>Save data (CSV)</translation>
    </message>
    <message>
        <source>保存图像(PNG)</source>
        <translation>Save picture (PNG)</translation>
    </message>
    <message>
        <source>连续记录</source>
        <translation>Record lines</translation>
    </message>
    <message>
        <source>0000000 行</source>
        <translation>0000000 lines</translation>
    </message>
    <message>
        <source>CSV文件(*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>PNG图像(*.png)</source>
        <translation>PNG images (*.png)</translation>
    </message>
    <message>
        <source>0 行</source>
        <translation>0 lines</translation>
    </message>
    <message>
        <source>%1 行</source>
        <translation>%1 lines</translation>
    </message>
    <message>
        <source>收到的数据行为 %1 像素，不是 %2 像素</source>
        <translation>Lines of %1 pixels arrive, not %2 pixels</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>MainWindow</source>
        <translation>MainWindow</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>端口:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>波特率:</source>
        <translation>Baud:</translation>
    </message>
    <message>
        <source>2400</source>
        <translation>2400</translation>
    </message>
    <message>
        <source>4800</source>
        <translation>4800</translation>
    </message>
    <message>
        <source>9600</source>
        <translation>9600</translation>
    </message>
    <message>
        <source>14400</source>
        <translation>14400</translation>
    </message>
    <message>
        <source>19200</source>
        <translation>19200</translation>
    </message>
    <message>
        <source>38400</source>
        <translation>38400</translation>
    </message>
    <message>
        <source>56000</source>
        <translation>56000</translation>
    </message>
    <message>
        <source>57600</source>
        <translation>57600</translation>
    </message>
    <message>
        <source>115200</source>
        <translation>115200</translation>
    </message>
    <message>
        <source>128000</source>
        <translation>128000</translation>
    </message>
    <message>
        <source>256000</source>
        <translation>256000</translation>
    </message>
    <message>
        <source>校验位:</source>
        <translation>Parity:</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>奇校验</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>数据位:</source>
        <translation>Data:</translation>
    </message>
    <message>
        <source>8</source>
        <translation>8</translation>
    </message>
    <message>
        <source>7</source>
        <translation>7</translation>
    </message>
    <message>
        <source>6</source>
        <translation>6</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5</translation>
    </message>
    <message>
        <source>停止位:</source>
        <translation>Stop:</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>打开串口</source>
        <translation>Open port</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
    <message>
        <source>Tab 1</source>
        <translation>Tab 1</translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation>Tab 2</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>购买硬件</source>
        <translation>Buy hardware</translation>
    </message>
    <message>
        <source>Tessavo智能车专卖店</source>
        <translation>Tessavo smart car shop</translation>
    </message>
    <message>
        <source>Tessavo智能车调试助手--软件版 Beta</source>
        <translation>Tessavo Smart Car Debugger -- Software Edition Beta</translation>
    </message>
    <message>
        <source>&lt;p align=&quot;center&quot;&gt;&lt;a href=&quot;%1&quot;&gt;Tessavo 只为专业&lt;br/&gt;点击进入淘宝店&lt;/a&gt;&lt;/p&gt;</source>
        <translation>&lt;p align=&quot;center&quot;&gt;&lt;a href=&quot;%1&quot;&gt;Tessavo, made for pros&lt;br/&gt;Visit our Taobao shop&lt;/a&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>串口助手</source>
        <translation>Terminal</translation>
    </message>
    <message>
        <source>示波器</source>
        <translation>Oscilloscope</translation>
    </message>
    <message>
        <source>线性ccd</source>
        <translation>Linear CCD</translation>
    </message>
    <message>
        <source>摄像头</source>
        <translation>Camera</translation>
    </message>
    <message>
        <source>曲线</source>
        <translation>Plotter</translation>
    </message>
</context>
<context>
    <name>MakerInfo</name>
    <message>
        <source>泰萨沃智能科技工作室 保留所有权利</source>
        <translation>Tessavo Studio. All rights reserved.</translation>
    </message>
</context>
<context>
    <name>NetworkLink</name>
    <message>
        <source>连接超时</source>
        <translation>Connection timed out</translation>
    </message>
    <message>
        <source>地址格式不正确</source>
        <translation>The address is malformed</translation>
    </message>
</context>
<context>
    <name>Oscilloscope</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>垂直缩放</source>
        <translation>Vertical</translation>
    </message>
    <message>
        <source>水平缩放</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <source>CH1</source>
        <translation>CH1</translation>
    </message>
    <message>
        <source>CH2</source>
        <translation>CH2</translation>
    </message>
    <message>
        <source>CH3</source>
        <translation>CH3</translation>
    </message>
    <message>
        <source>CH4</source>
        <translation>CH4</translation>
    </message>
    <message>
        <source>清空数据</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>V</source>
        <translation>V</translation>
    </message>
    <message>
        <source>CH1 最大值</source>
        <translation>CH1 max</translation>
    </message>
    <message>
        <source>CH1 最小值</source>
        <translation>CH1 min</translation>
    </message>
    <message>
        <source>CH3 最大值</source>
        <translation>CH3 max</translation>
    </message>
    <message>
        <source>CH3 最小值</source>
        <translation>CH3 min</translation>
    </message>
    <message>
        <source>CH2 最大值</source>
        <translation>CH2 max</translation>
    </message>
    <message>
        <source>CH2 最小值</source>
        <translation>CH2 min</translation>
    </message>
    <message>
        <source>CH4 最大值</source>
        <translation>CH4 max</translation>
    </message>
    <message>
        <source>CH4 最小值</source>
        <translation>CH4 min</translation>
    </message>
    <message>
        <source>暂停	空格</source>
        <translation>Pause	Space</translation>
    </message>
    <message>
        <source>保存数据(CSV)</source>
        <translation>Save data (CSV)</translation>
    </message>
    <message>
        <source>保存图像(PNG)</source>
        <translation>Save picture (PNG)</translation>
    </message>
    <message>
        <source>CSV文件(*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>PNG图像(*.png)</source>
        <translation>PNG images (*.png)</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>最大值小于或等于最小值</source>
        <translation>The maximum is not above the minimum.</translation>
    </message>
</context>
<context>
    <name>OscilloscopeWave</name>
    <message>
        <source>关</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>已暂停</source>
        <translation>Paused</translation>
    </message>
    <message>
        <source>样点 %1</source>
        <translation>Sample %1</translation>
    </message>
    <message>
        <source>等待触发</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>已触发</source>
        <translation>Triggered</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
</context>
<context>
    <name>ParamSet</name>
    <message>
        <source>“%1”应为文字</source>
        <translation>“%1” must be text</translation>
    </message>
    <message>
        <source>“%1”应为绝对值不超过%2的数</source>
        <translation>“%1” must be a number of at most %2 in magnitude</translation>
    </message>
    <message>
        <source>“%1”应为整数</source>
        <translation>“%1” must be a whole number</translation>
    </message>
    <message>
        <source>“%1”应为true或false</source>
        <translation>“%1” must be true or false</translation>
    </message>
    <message>
        <source>“mode”应为text或hex</source>
        <translation>“mode” must be text or hex</translation>
    </message>
    <message>
        <source>未知的控件类型“%1”（可用slider、number、switch、button）</source>
        <translation>Unknown control type “%1” (use slider, number, switch or button)</translation>
    </message>
    <message>
        <source>快捷键“%1”无效（可用Ctrl+1到Ctrl+9）</source>
        <translation>Invalid shortcut “%1” (use Ctrl+1 to Ctrl+9)</translation>
    </message>
    <message>
        <source>“%1”应为列表</source>
        <translation>“%1” must be a list</translation>
    </message>
    <message>
        <source>“%1”多于%2项</source>
        <translation>“%1” has more than %2 items</translation>
    </message>
    <message>
        <source>文件大于1MB，不是调参文件</source>
        <translation>The file is larger than 1 MB: not a tuning set</translation>
    </message>
    <message>
        <source>不是有效的JSON（第%1个字节处：%2）</source>
        <translation>Not valid JSON (at byte %1: %2)</translation>
    </message>
    <message>
        <source>不是调参文件：“format”应为“smartcar-params”</source>
        <translation>Not a tuning set: “format” must be “smartcar-params”</translation>
    </message>
    <message>
        <source>“version”应为正整数</source>
        <translation>“version” must be a positive whole number</translation>
    </message>
    <message>
        <source>文件的版本%1比本程序能读的版本%2新，请更新本程序</source>
        <translation>The file&apos;s version %1 is newer than version %2, which this program reads: please update the program</translation>
    </message>
    <message>
        <source>第%1个控件应为对象</source>
        <translation>Control %1 must be an object</translation>
    </message>
    <message>
        <source>第%1个控件：%2</source>
        <translation>Control %1: %2</translation>
    </message>
    <message>
        <source>第%1个快捷指令应为对象</source>
        <translation>Quick command %1 must be an object</translation>
    </message>
    <message>
        <source>第%1个快捷指令：%2</source>
        <translation>Quick command %1: %2</translation>
    </message>
    <message>
        <source>名称应为1到%1个字符，首尾无空格</source>
        <translation>The name must have 1 to %1 characters, without spaces at either end</translation>
    </message>
    <message>
        <source>命令长于%1个字符</source>
        <translation>The command is longer than %1 characters</translation>
    </message>
    <message>
        <source>数值的绝对值不能超过%1</source>
        <translation>Numbers may not exceed %1 in magnitude</translation>
    </message>
    <message>
        <source>最小值应小于最大值</source>
        <translation>The minimum must be below the maximum</translation>
    </message>
    <message>
        <source>步长应大于0，且不超过%1步</source>
        <translation>The step must be above 0, with at most %1 steps</translation>
    </message>
    <message>
        <source>当前值应在最小值和最大值之间</source>
        <translation>The value must lie between the minimum and the maximum</translation>
    </message>
    <message>
        <source>小数位数应在0到%1之间</source>
        <translation>Decimals must be between 0 and %1</translation>
    </message>
    <message>
        <source>步长不能小于%1，即%2位小数所能表示的最小值</source>
        <translation>The step may not be below %1, the finest %2 decimals show</translation>
    </message>
    <message>
        <source>开命令：%1</source>
        <translation>On command: %1</translation>
    </message>
    <message>
        <source>关命令：%1</source>
        <translation>Off command: %1</translation>
    </message>
    <message>
        <source>快捷键应为Ctrl+1到Ctrl+9</source>
        <translation>The shortcut must be Ctrl+1 to Ctrl+9</translation>
    </message>
    <message>
        <source>重复周期应为0（不重复）或%1到%2毫秒</source>
        <translation>The repeat period must be 0 (no repeat) or %1 to %2 ms</translation>
    </message>
    <message>
        <source>控件和快捷指令各不能多于%1个</source>
        <translation>At most %1 controls and %1 quick commands</translation>
    </message>
    <message>
        <source>有两个控件都叫“%1”</source>
        <translation>Two controls are named “%1”</translation>
    </message>
    <message>
        <source>快捷键Ctrl+%1用了两次</source>
        <translation>Shortcut Ctrl+%1 is used twice</translation>
    </message>
</context>
<context>
    <name>ParamSetEditor</name>
    <message>
        <source>编辑调参面板</source>
        <translation>Edit the tuning panel</translation>
    </message>
    <message>
        <source>控件</source>
        <translation>Controls</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>上移</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>快捷指令</source>
        <translation>Quick commands</translation>
    </message>
    <message>
        <source>属性</source>
        <translation>Properties</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>滑块</source>
        <translation>Slider</translation>
    </message>
    <message>
        <source>数值框</source>
        <translation>Number box</translation>
    </message>
    <message>
        <source>开关</source>
        <translation>Switch</translation>
    </message>
    <message>
        <source>按钮</source>
        <translation>Button</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>模式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>十六进制</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>命令</source>
        <translation>Command</translation>
    </message>
    <message>
        <source>占位符：{v} 数值，{i} 取整；十六进制模式另有{u8} {i8} {u16le} {u16be} {i16le} {i16be} {i32le} {i32be} {f32le} {f32be}；{sum8} {xor8} 前面字节的和或异或。文本模式的转义：\n \r \t \\ \xNN</source>
        <translation>Placeholders: {v} the value, {i} rounded; in hex mode also {u8} {i8} {u16le} {u16be} {i16le} {i16be} {i32le} {i32be} {f32le} {f32be}; {sum8} {xor8} the sum or XOR of the bytes before. Escapes in text mode: \n \r \t \\ \xNN</translation>
    </message>
    <message>
        <source>开命令</source>
        <translation>On command</translation>
    </message>
    <message>
        <source>关命令</source>
        <translation>Off command</translation>
    </message>
    <message>
        <source>最小值</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>最大值</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>步长</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>小数位</source>
        <translation>Decimals</translation>
    </message>
    <message>
        <source>当前值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>松开滑块时才发送</source>
        <translation>Send only when the slider is let go</translation>
    </message>
    <message>
        <source>快捷键</source>
        <translation>Shortcut</translation>
    </message>
    <message>
        <source>重复周期</source>
        <translation>Repeat every</translation>
    </message>
    <message>
        <source>不重复</source>
        <translation>No repeat</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>指令%1</source>
        <translation>Command %1</translation>
    </message>
</context>
<context>
    <name>PlotView</name>
    <message>
        <source>等待触发</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>已触发</source>
        <translation>Triggered</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
</context>
<context>
    <name>Plotter</name>
    <message>
        <source>格式</source>
        <translation>Framing</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>X轴</source>
        <translation>X axis</translation>
    </message>
    <message>
        <source>样本</source>
        <translation>Samples</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>Seconds</translation>
    </message>
    <message>
        <source>显示的样本数</source>
        <translation>Samples shown</translation>
    </message>
    <message>
        <source>显示的秒数</source>
        <translation>Seconds shown</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>最新值</source>
        <translation>Latest</translation>
    </message>
    <message>
        <source>Y轴</source>
        <translation>Y axis</translation>
    </message>
    <message>
        <source>固定</source>
        <translation>Fixed</translation>
    </message>
    <message>
        <source>最大</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>最小</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>不是数据的文本显示在这里</source>
        <translation>Text that is no data shows here</translation>
    </message>
    <message>
        <source>保存数据(CSV)</source>
        <translation>Save data (CSV)</translation>
    </message>
    <message>
        <source>保存图像(PNG)</source>
        <translation>Save picture (PNG)</translation>
    </message>
    <message>
        <source>等待数据…</source>
        <translation>Waiting for data…</translation>
    </message>
    <message>
        <source>识别为 %1</source>
        <translation>Found %1</translation>
    </message>
    <message>
        <source>帧 %1 · 值 %2 · 丢弃 %3 · 重同步 %4 · 非数 %5 · 文本 %6</source>
        <translation>Frames %1 · values %2 · junk %3 · resync %4 · NaN %5 · text %6</translation>
    </message>
    <message>
        <source>CSV文件(*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>PNG图像(*.png)</source>
        <translation>PNG images (*.png)</translation>
    </message>
    <message>
        <source>视图</source>
        <translation>View</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>频谱</source>
        <translation>Spectrum</translation>
    </message>
    <message>
        <source>触发只用于样本X轴</source>
        <translation>The trigger works on the sample X axis only</translation>
    </message>
</context>
<context>
    <name>ReceiveDisplay</name>
    <message>
        <source>（前面 %1 字节未显示，保存数据仍会全部写入）</source>
        <translation>(The first %1 bytes are not shown; Save data still writes them all)</translation>
    </message>
    <message>
        <source>（临时文件写入失败，之后接收的数据全部留在内存中，不会丢失）</source>
        <translation>(Writing the temporary file failed: all data received from now on stays in memory and is not lost)</translation>
    </message>
</context>
<context>
    <name>RecordingControl</name>
    <message>
        <source>录制</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>把收到的每个字节连同到达时间录制到文件</source>
        <translation>Record every byte received, with its arrival time, into a file</translation>
    </message>
    <message>
        <source>录制文件 (*.cap)</source>
        <translation>Recordings (*.cap)</translation>
    </message>
    <message>
        <source>原始数据 (*.bin)</source>
        <translation>Raw data (*.bin)</translation>
    </message>
    <message>
        <source>正在录制到%1，单击停止</source>
        <translation>Recording to %1; click to stop</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>写入文件%1失败！录制已停止，文件保留了此前录下的数据。</source>
        <translation>Writing to %1 failed. Recording stopped; the file keeps what was recorded before.</translation>
    </message>
</context>
<context>
    <name>ReplayControls</name>
    <message>
        <source>回放</source>
        <translation>Replay</translation>
    </message>
    <message>
        <source>打开录制文件或任意数据文件，像串口收到的一样回放</source>
        <translation>Open a recording or any data file and play it back as if the port received it</translation>
    </message>
    <message>
        <source>回放速度：录制时的速度的倍数</source>
        <translation>Replay speed, as a multiple of the recorded speed</translation>
    </message>
    <message>
        <source>最快</source>
        <translation>Fastest</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>录制文件 (*.cap);;所有文件 (*)</source>
        <translation>Recordings (*.cap);;All files (*)</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>%1是更新版本的录制文件，本程序无法回放。</source>
        <translation>%1 was recorded by a newer version; this program cannot replay it.</translation>
    </message>
    <message>
        <source>该文件没有时间信息，按原始数据回放。
每秒回放字节数：</source>
        <translation>The file has no arrival times; it is replayed as raw data.
Bytes per second:</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>停止回放%1</source>
        <translation>Stop replaying %1</translation>
    </message>
    <message>
        <source>继续</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>正在回放 %1</source>
        <translation>Replaying %1</translation>
    </message>
    <message>
        <source>回放结束</source>
        <translation>Replay finished</translation>
    </message>
    <message>
        <source>回放已停止</source>
        <translation>Replay stopped</translation>
    </message>
    <message>
        <source>回放结束：文件已损坏</source>
        <translation>Replay ended: the file is damaged</translation>
    </message>
    <message>
        <source>录制文件%1从第 %2 字节起已损坏（不完整或内容错误），已回放此前的数据（到 %3）。</source>
        <translation>The recording %1 is damaged from byte %2 on (cut short or wrong). What came before was replayed (up to %3).</translation>
    </message>
    <message>
        <source>读取文件%1失败，回放已停止。</source>
        <translation>Reading %1 failed; the replay stopped.</translation>
    </message>
</context>
<context>
    <name>SendHistoryBrowser</name>
    <message>
        <source>  (十六进制)</source>
        <translation>  (hex)</translation>
    </message>
    <message>
        <source>发送历史</source>
        <translation>Send history</translation>
    </message>
    <message>
        <source>清空发送历史</source>
        <translation>Clear send history</translation>
    </message>
</context>
<context>
    <name>SerialPanel</name>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>不能打开指定串口
请检查串口是否被占用</source>
        <translation>Cannot open the chosen port.
Check whether another program is using it.</translation>
    </message>
    <message>
        <source>无法打开该串口！</source>
        <translation>Cannot open this port.</translation>
    </message>
    <message>
        <source>关闭串口</source>
        <translation>Close port</translation>
    </message>
    <message>
        <source>打开串口</source>
        <translation>Open port</translation>
    </message>
    <message>
        <source>串口连接已断开！
请检查设备后重新打开串口。</source>
        <translation>The serial connection was lost.
Check the device, then open the port again.</translation>
    </message>
    <message>
        <source>无法使用波特率 %1，串口未打开。
可选 %2 至 %3 之间串口支持的波特率。</source>
        <translation>The baud rate %1 cannot be used; the port stays closed.
Choose a rate from %2 to %3 that the port supports.</translation>
    </message>
    <message>
        <source>无法打开 %1
%2</source>
        <translation>Cannot open %1
%2</translation>
    </message>
    <message>
        <source>不支持的地址类型，可用 tcp://、tcp-server:// 或 udp://</source>
        <translation>Unsupported address type; use tcp://, tcp-server:// or udp://</translation>
    </message>
    <message>
        <source>缺少对方的地址</source>
        <translation>The address of the other end is missing</translation>
    </message>
    <message>
        <source>地址无效（服务器只能绑定本机的 IP 地址）</source>
        <translation>Invalid address (a server binds only an IP address of this computer)</translation>
    </message>
    <message>
        <source>端口号无效，应为 1～65535</source>
        <translation>Invalid port number; it must be 1 to 65535</translation>
    </message>
    <message>
        <source>本地端口号无效，应为 1～65535</source>
        <translation>Invalid local port number; it must be 1 to 65535</translation>
    </message>
    <message>
        <source>地址格式不正确</source>
        <translation>The address is malformed</translation>
    </message>
    <message>
        <source>连接被拒绝：对方没有在该端口监听</source>
        <translation>Connection refused: nothing listens on that port</translation>
    </message>
    <message>
        <source>找不到该主机</source>
        <translation>Host not found</translation>
    </message>
    <message>
        <source>端口已被占用</source>
        <translation>The port is already in use</translation>
    </message>
    <message>
        <source>没有使用该端口的权限</source>
        <translation>No permission to use that port</translation>
    </message>
    <message>
        <source>本机没有该地址</source>
        <translation>This computer has no such address</translation>
    </message>
    <message>
        <source>连接超时</source>
        <translation>Connection timed out</translation>
    </message>
    <message>
        <source>网络不可达</source>
        <translation>The network is unreachable</translation>
    </message>
</context>
<context>
    <name>SpectrumPage</name>
    <message>
        <source>点数</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>每个通道取最新的这么多个样本</source>
        <translation>How many of each channel&apos;s newest samples to take</translation>
    </message>
    <message>
        <source>采样率</source>
        <translation>Rate</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>手动</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>每秒的样本数</source>
        <translation>Samples per second</translation>
    </message>
    <message>
        <source>固定</source>
        <translation>Fixed</translation>
    </message>
    <message>
        <source>最小</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>最大</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>保存数据(CSV)</source>
        <translation>Save data (CSV)</translation>
    </message>
    <message>
        <source>保存图像(PNG)</source>
        <translation>Save picture (PNG)</translation>
    </message>
    <message>
        <source>采样率 %1 Hz · 分辨率 %2 Hz</source>
        <translation>Rate %1 Hz · resolution %2 Hz</translation>
    </message>
    <message>
        <source>采样率 %1 Hz（测得 %2 Hz）· 分辨率 %3 Hz</source>
        <translation>Rate %1 Hz (measured %2 Hz) · resolution %3 Hz</translation>
    </message>
    <message>
        <source> · 样本 %1/%2</source>
        <translation> · samples %1/%2</translation>
    </message>
    <message>
        <source>到达时间测不出采样率，请手动设定</source>
        <translation>The arrival times show no rate: set it by hand</translation>
    </message>
    <message>
        <source>等待数据…</source>
        <translation>Waiting for data…</translation>
    </message>
    <message>
        <source>CSV文件(*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>PNG图像(*.png)</source>
        <translation>PNG images (*.png)</translation>
    </message>
</context>
<context>
    <name>SpectrumView</name>
    <message>
        <source>%1 峰值 %2 Hz %3 dB</source>
        <translation>%1 peak %2 Hz %3 dB</translation>
    </message>
</context>
<context>
    <name>StatusBarPanel</name>
    <message>
        <source>自动重连</source>
        <translation>Reconnect</translation>
    </message>
    <message>
        <source>打开串口以来接收和发送的字节数，单击清零</source>
        <translation>Bytes received and sent since the port opened; click to zero them</translation>
    </message>
    <message>
        <source>最近一秒的接收速率</source>
        <translation>Receive rate over the last second</translation>
    </message>
    <message>
        <source>串口断开后，设备一回来就重新打开它</source>
        <translation>When the port is lost, open it again as soon as the device is back</translation>
    </message>
    <message>
        <source>串口已断开，等待重新连接…</source>
        <translation>Port lost, waiting for it to come back…</translation>
    </message>
    <message>
        <source>已重新连接</source>
        <translation>Reconnected</translation>
    </message>
    <message>
        <source>%1 %2 已打开</source>
        <translation>%1 %2 open</translation>
    </message>
    <message>
        <source>串口已关闭</source>
        <translation>Port closed</translation>
    </message>
    <message>
        <source>%1 已关闭</source>
        <translation>%1 closed</translation>
    </message>
    <message>
        <source>%1 已断开</source>
        <translation>%1 lost</translation>
    </message>
    <message>
        <source>接收 %1  发送 %2</source>
        <translation>Rx %1  Tx %2</translation>
    </message>
    <message>
        <source>%1 正在连接…</source>
        <translation>%1 connecting…</translation>
    </message>
    <message>
        <source>%1 已连接</source>
        <translation>%1 connected</translation>
    </message>
    <message>
        <source>%1 已连接 %2</source>
        <translation>%1 connected to %2</translation>
    </message>
    <message>
        <source>%1 正在监听</source>
        <translation>%1 listening</translation>
    </message>
    <message>
        <source>%1 对方 %2</source>
        <translation>%1 peer %2</translation>
    </message>
</context>
<context>
    <name>TriggerPanel</name>
    <message>
        <source>触发</source>
        <translation>Trigger</translation>
    </message>
    <message>
        <source>重新触发</source>
        <translation>Re-arm</translation>
    </message>
    <message>
        <source>上升</source>
        <translation>Rising</translation>
    </message>
    <message>
        <source>下降</source>
        <translation>Falling</translation>
    </message>
    <message>
        <source>双边</source>
        <translation>Either</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>常规</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>单次</source>
        <translation>Single</translation>
    </message>
    <message>
        <source>单次触发后再等下一次</source>
        <translation>After a single sweep, wait for the next trigger</translation>
    </message>
    <message>
        <source>源</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>边沿</source>
        <translation>Edge</translation>
    </message>
    <message>
        <source>模式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>预触发</source>
        <translation>Pre-trig.</translation>
    </message>
    <message>
        <source>电平</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>噪声带</source>
        <translation>Band</translation>
    </message>
    <message>
        <source>等待触发</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>已触发</source>
        <translation>Triggered</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>Stopped</translation>
    </message>
</context>
<context>
    <name>TuningDock</name>
    <message>
        <source>调参</source>
        <translation>Tuning</translation>
    </message>
    <message>
        <source>显示或隐藏调参面板：滑块、开关、按钮和快捷指令</source>
        <translation>Show or hide the tuning panel: sliders, switches, buttons and quick commands</translation>
    </message>
</context>
<context>
    <name>TuningPanel</name>
    <message>
        <source>添加、修改、删除和排列控件与快捷指令</source>
        <translation>Add, change, remove and order the controls and quick commands</translation>
    </message>
    <message>
        <source>编辑…</source>
        <translation>Edit…</translation>
    </message>
    <message>
        <source>从JSON文件读入一套控件和快捷指令</source>
        <translation>Read a set of controls and quick commands from a JSON file</translation>
    </message>
    <message>
        <source>导入…</source>
        <translation>Import…</translation>
    </message>
    <message>
        <source>把这套控件和快捷指令写入JSON文件，与队友共用</source>
        <translation>Write these controls and quick commands to a JSON file to share with the team</translation>
    </message>
    <message>
        <source>导出…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>还没有控件。点击“编辑…”添加，或“导入…”一个调参文件。</source>
        <translation>No controls yet: add some with Edit…, or Import… a tuning set.</translation>
    </message>
    <message>
        <source>快捷指令</source>
        <translation>Quick commands</translation>
    </message>
    <message>
        <source>
快捷键：%1</source>
        <translation>
Shortcut: %1</translation>
    </message>
    <message>
        <source>
按下后每%1毫秒发送一次，再按停止</source>
        <translation>
Once pressed, sends every %1 ms until pressed again</translation>
    </message>
    <message>
        <source>回放时调参面板不发送</source>
        <translation>The tuning panel does not send during a replay</translation>
    </message>
    <message>
        <source>串口未打开，调参面板的命令没有发送</source>
        <translation>The port is not open: the tuning panel sent nothing</translation>
    </message>
    <message>
        <source>调参面板的命令发送失败</source>
        <translation>The tuning panel&apos;s command could not be sent</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>Not a regular file</translation>
    </message>
    <message>
        <source>文件大于1MB，不是调参文件</source>
        <translation>The file is larger than 1 MB: not a tuning set</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>不能导入%1：
%2</source>
        <translation>Cannot import %1:
%2</translation>
    </message>
    <message>
        <source>写入文件%1失败！</source>
        <translation>Writing to %1 failed.</translation>
    </message>
    <message>
        <source>导入调参文件</source>
        <translation>Import a tuning set</translation>
    </message>
    <message>
        <source>调参文件(*.json)</source>
        <translation>Tuning sets (*.json)</translation>
    </message>
    <message>
        <source>导出调参文件</source>
        <translation>Export the tuning set</translation>
    </message>
</context>
<context>
    <name>UiLanguage</name>
    <message>
        <source>中文</source>
        <translation>Chinese</translation>
    </message>
    <message>
        <source>zh</source>
        <comment>The code of the translation&apos;s language: en for English</comment>
        <translation>en</translation>
    </message>
</context>
</TS>
