<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tessavo智能车调试助手 V1.0 Bate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>有问题或建议请发邮件到：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关于</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AlgorithmDll</name>
    <message>
        <source>动态链接库(*.dll)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>动态链接库(*.dylib)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>动态链接库(*.so)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无效的dll</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AlgorithmLibrary</name>
    <message>
        <source>%1 不是dll文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法载入%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无效的dll:%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CCD</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图像</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>二值化图像</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不缩放</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动缩放</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图像宽度：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图像高度：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>结束指令：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最大值：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最小值：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>平均值：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>中间值：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>光标位置：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>像素值：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>二值化</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>中间值作为阀值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>固定值作为阀值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自定义算法</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择算法</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存图像</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文本文件(*.txt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入文件%1失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>位图(*.bmp)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图像为空</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法打开文件%1，是否被其他程序占用？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存图像(PNG)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存二值化图像(PNG)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连续保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0000000 张</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PNG图像(*.png)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择保存图像的文件夹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0 张</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 张</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ComAssistant</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据接收</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文本显示、文本发送和打开.txt文件所用的编码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时间戳</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>每行前显示它第一个字节收到的时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文本显示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>十六进制显示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据发送</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>结尾</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文本发送时在末尾附加的字符</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>\r\n</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>\n</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>\r</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口打开时，按周期重复发送编辑框的内容</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>定时发送</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>定时发送的周期</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文本发送</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>十六进制发送</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存显示内容</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>本地</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据发送失败！
请检查串口连接。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先打开串口。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不是有效的十六进制表示格式！
请使用0-9和A-F表示，并用空格隔开每个字节。
如： FA 29 AA BB 3B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送数据大于4096字节，多余部分不能发送！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文本文件(*.txt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1不是普通文件，不能打开！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件大于1MB，不能打开！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法打开文件%1，是否被其他程序占用？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入文件%1失败！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ExportDialogs</name>
    <message>
        <source>无法打开文件%1，是否被其他程序占用？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入文件%1失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrameHealth</name>
    <message>
        <source>帧 %1 · 丢弃 %2 · 重同步 %3 · %4 帧/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>行 %1 · 跳过 %2 · 错位 %3 · 溢出 %4 · %5 行/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>帧 %1 · 跳过 %2 · 错位 %3 · 溢出 %4 · %5 帧/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>单击“接收”计数或打开串口时清零</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>帧 %1：解码的数据帧
丢弃 %2 B：不属于任何帧而丢弃的字节
重同步 %3：丢弃字节后重新找到帧头 FF FF 的次数
%4 帧/s：最近一秒解码的帧数
%5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>行 %1：显示的行
跳过 %2：完整但被同一批数据里更新的一行取代、没有显示的行
错位 %3：结束符 FF 没有紧跟在 128 个像素字节之后的次数
溢出 %4 B：接收缓冲区满时丢掉的最旧字节
%5 行/s：最近一秒显示的行数
%6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>帧 %1：显示的图像
跳过 %2：完整但被同一批数据里更新的一帧取代、没有显示的图像
错位 %3：结束符 FF 没有紧跟在 宽×高 个像素字节之后的次数
溢出 %4 B：接收缓冲区满时丢掉的最旧字节
%5 帧/s：最近一秒显示的图像数
%6</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LanguageButton</name>
    <message>
        <source>界面语言（Language），重新启动后生效</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>界面语言保持为%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重新启动后界面语言改为%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LinearCCD</name>
    <message>
        <source>mainWin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据统计</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最小值：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最大值：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>平均值：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>中间值：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>注：
中间值=(最大值+最小值)/2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>二值化</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>中间值作为阀值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>固定阀值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自定义</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择算法</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请选择算法</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>光标</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前位置：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>像素值：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>波形图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>灰度图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>二值化图</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存数据(CSV)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存图像(PNG)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连续记录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0000000 行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CSV文件(*.csv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PNG图像(*.png)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0 行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 行</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>MainWindow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>刷新</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>波特率:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2400</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4800</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>9600</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>14400</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>19200</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>38400</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>56000</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>57600</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>115200</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>128000</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>256000</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校验位:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>奇校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>偶校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据位:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止位:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tab 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tab 2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关于</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>购买硬件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tessavo智能车专卖店</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tessavo智能车调试助手--软件版 Beta</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;p align=&quot;center&quot;&gt;&lt;a href=&quot;%1&quot;&gt;Tessavo 只为专业&lt;br/&gt;点击进入淘宝店&lt;/a&gt;&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口助手</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>示波器</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>线性ccd</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>摄像头</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不能打开指定串口
请检查串口是否被占用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法打开该串口！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口连接已断开！
请检查设备后重新打开串口。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MakerInfo</name>
    <message>
        <source>泰萨沃智能科技工作室 保留所有权利</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Oscilloscope</name>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>垂直缩放</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>水平缩放</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清空数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>V</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH1 最大值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH1 最小值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH3 最大值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH3 最小值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH2 最大值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH2 最小值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH4 最大值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CH4 最小值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>暂停	空格</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存数据(CSV)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存图像(PNG)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CSV文件(*.csv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PNG图像(*.png)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最大值小于或等于最小值</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OscilloscopeWave</name>
    <message>
        <source>关</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已暂停</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>样点 %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReceiveDisplay</name>
    <message>
        <source>（前面 %1 字节未显示，保存数据仍会全部写入）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>（临时文件写入失败，之后接收的数据全部留在内存中，不会丢失）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RecordingControl</name>
    <message>
        <source>录制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>把收到的每个字节连同到达时间录制到文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>录制文件 (*.cap)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原始数据 (*.bin)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在录制到%1，单击停止</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入文件%1失败！录制已停止，文件保留了此前录下的数据。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReplayControls</name>
    <message>
        <source>回放</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开录制文件或任意数据文件，像串口收到的一样回放</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>回放速度：录制时的速度的倍数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最快</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>暂停</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>录制文件 (*.cap);;所有文件 (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1是更新版本的录制文件，本程序无法回放。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该文件没有时间信息，按原始数据回放。
每秒回放字节数：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>停止回放%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>继续</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在回放 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>回放结束</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>回放已停止</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>回放结束：文件已损坏</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>录制文件%1从第 %2 字节起已损坏（不完整或内容错误），已回放此前的数据（到 %3）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取文件%1失败，回放已停止。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SendHistoryBrowser</name>
    <message>
        <source>  (十六进制)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送历史</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>清空发送历史</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StatusBarPanel</name>
    <message>
        <source>自动重连</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开串口以来接收和发送的字节数，单击清零</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最近一秒的接收速率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口断开后，设备一回来就重新打开它</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口已断开，等待重新连接…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已重新连接</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2 已打开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>串口已关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 已关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 已断开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>接收 %1  发送 %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UiLanguage</name>
    <message>
        <source>中文</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>zh</source>
        <comment>The code of the translation&apos;s language: en for English</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
