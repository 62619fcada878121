<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="zh_CN">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>关于</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>版本</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CAddChanDlg</name>
    <message>
        <source>添加通道</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加通道 &gt;&gt; </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>码率范围:128~16384</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CAddressPlan</name>
    <message>
        <source>无法打开 %1：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 过大，不是地址计划</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>引号未闭合</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>计划为空</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>表头缺少 %1 列</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MAC %1 无效</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP地址 %1 无效</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>子网掩码 %1 无效</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP地址 %1 是子网 %2 的网络地址或广播地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网关 %1 不在 %2/%3 的子网内或与地址相同</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>与第 %1 行是同一台设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP地址 %1 与第 %2 行重复</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未找到序列号为 %1 的设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未找到 MAC 为 %1 的设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP地址 %1 已被另一台设备（MAC %2）使用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第 %1 行：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>表头缺少 mac、serial、endpoint 或 xaddr 列</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未找到 %1 的设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有 MAC、序列号、端点或服务地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP地址 %1 已被另一台设备（%2）使用</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CBatchCfgDlg</name>
    <message>
        <source>批量配置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编码设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>主流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编码格式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分辨率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>帧率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>码率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[128 ~ 16384]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编码模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图像质量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>质量优先</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>码率优先</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I帧间隔</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[10 ~ 250]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>启用辅流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>启用第三流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>配置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>音频设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>音频输入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>音频输入增益</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[0 ~ 255]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>采样率(KHz)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取视频输入参数失败，不能配置。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备没有可用的主流分辨率，不能配置。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取编码参数失败，不能配置。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取音频参数失败，不能配置。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请为每一项选择有效的值。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CBatchEditAddrDlg</name>
    <message>
        <source>批量修改网络地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP 地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>~</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>子网掩码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网关</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导入地址计划...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导入地址计划</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>地址计划有误，未发送任何请求：
%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CBatchEditModelEx</name>
    <message>
        <source>全选</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>名称</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP(旧)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP(新)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>子网掩码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网关</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>操作结果</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不在计划中</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CCapCalculateForm</name>
    <message>
        <source>添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加在线...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>对所选通道进行计算</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已知硬盘大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>硬盘大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>每天录像时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>小时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>可录像时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0 天</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示： 实际空间(GB) = 硬盘大小(GB) * (1000^3) / (1024^3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已知录像时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>录像时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>天</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0 GB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>250GB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>350GB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>500GB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1TB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2TB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3TB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4TB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>6TB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>8TB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>13TB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>14TB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>16TB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>20TB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>24TB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自定义</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加纪录数量不能多于1024。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请选择设备。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 天</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>磁盘空间不能为空。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>码率为0，无法计算</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请添加通道。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加记录数量不能多于1024。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CChanDlg</name>
    <message>
        <source>通道数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备类型</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编码格式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分辨率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>帧率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>码率(kbps)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>推荐码率(kbps)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CChanDlgBase</name>
    <message>
        <source>信息</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CChanModelEx</name>
    <message>
        <source>全选</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通道</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分辨率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>帧率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>码率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>总带宽</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CChangePwdDlg</name>
    <message>
        <source>修改密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>新密码：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确认密码：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请输入新密码。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>两次输入的密码不一致。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>信息</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CCli</name>
    <message>
        <source>输出格式：table、csv 或 json</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>同时处理的设备数（默认 8）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>登录用户名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>从文件第一行读取密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>等待设备应答的毫秒数（默认 500）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>同时探测的地址段</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不发送组播探测</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>新IP地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>新子网掩码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>新网关</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>安全码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>固件文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>配置文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开始时间：月/周/星期/时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>结束时间：月/周/星期/时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>偏移分钟数：30、60、90 或 120</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭夏令时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>显示帮助</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>查找设备并列出：每行一台（table）、带表头的 CSV 或 JSON 数组，按地址排序。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>登录设备并列出从设备读取的字段。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改一台设备的网络地址，或按计划文件（CSV）修改多台设备的地址；发送前检查计划的每一行。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用安全码重置设备密码。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重启设备。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升级设备固件。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出设备配置到文件夹。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>把配置文件导入设备。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出设备诊断信息到文件夹。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置夏令时规则：月 1-12，第 1-4 周或 last，星期 0-6（0 为星期日），时 0-23；--off 关闭夏令时。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>命令：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>每个命令的选项：corvane-cli 命令 --help。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码从 CORVANE_PASSWORD、--password-file 或终端提示读取，从不从命令行读取。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>结果：每台设备一行“地址 ok”或“地址 failed: 原因”，或用 --format json 输出数组。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出码：0 全部成功，1 部分设备失败，2 用法或输入错误。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用法：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>缺少命令</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码不能写在命令行上（其他用户可以看到）：请使用 CORVANE_PASSWORD 或 --password-file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未知命令：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--format 应为 table、csv 或 json</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--jobs 应为 1 到 256 的整数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>缺少 --%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--wait 应为 0 到 60000 的毫秒数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--range 应为 FIRST-LAST，起始地址不大于结束地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--no-multicast 需要 --range</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>多余的参数：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>只能指定一个设备地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未找到设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--plan 不能与地址、--ip、--mask、--gateway 同时使用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有用户名（user 列或 --user）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>计划有误，未发送任何请求</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--off 不能与 --start、--end、--offset 同时使用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--%1 应为 月/周/星期/时，例如 3/last/0/2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--offset 应为 30、60、90 或 120</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件 %1 无法读取</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法创建文件夹 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>缺少设备地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>输出位置：文件夹（不存在时创建）；snapshot 为 JPEG 文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>列出摄像机的各码流：编码、分辨率、帧率、码率（kbit/s）和 I 帧间隔。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>把摄像机当前画面保存为 JPEG 文件。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--format 应为 table 或 json</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>地址：IPv4 地址，或用 onvif://主机[:端口] 指定搜索不到的 ONVIF 设备（端口默认 80）。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 不是有效的IP地址或 onvif://主机[:端口]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>地址计划（CSV：mac、serial、endpoint 或 xaddr，ip、mask、gateway，可选 user）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CCliLane</name>
    <message>
        <source>无法写入文件 %1：%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CCliPassword</name>
    <message>
        <source>无法读取密码文件 %1：%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码文件 %1 过大</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>需要密码：请设置 CORVANE_PASSWORD、使用 --password-file，或在终端中运行以输入密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码：</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CCliProgress</name>
    <message>
        <source>%1/%2 台设备</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CCorvaneMainWind</name>
    <message>
        <source>Corvane</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>容量计算</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开用户手册失败，请检查文件路径。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>真的需要退出吗?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有可打开用户手册的PDF阅读器，请在PDF阅读器中打开 %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CDevCfgDlg</name>
    <message>
        <source>配置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图像</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网络</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>配置 - %1 %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CDevFailReason</name>
    <message>
        <source>超时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法连接设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名或密码错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>账户已锁定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接被拒绝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>登录已失效</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>参数无效</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备应答无效</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件无法读写或过大</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>固件损坏或型号不符</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>配置文件损坏、过大或不属于该设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备正忙</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备不支持</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备库未初始化</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误码 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>序列号或MAC与设备不符</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP地址已被占用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>安全码错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网络错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备拒绝了该地址、掩码或网关</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>参数只读</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接数已满</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备正在升级</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>固件损坏</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>固件与设备型号不符</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升级中断或无结果</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原因：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备已离线</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>账户已锁定，约%1分钟后再试</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>地址冲突：另一台设备使用相同地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备身份已改变（密钥与上次不同），已拒绝连接</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>由 %1 代答 %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CDevListExport</name>
    <message>
        <source>导出全部设备...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出勾选的设备...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请选择设备。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>JSON 文件 (*.json)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出设备列表</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出失败：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备注</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CDevLoginDlg</name>
    <message>
        <source>登录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示：该操作需登录设备后才能继续进行。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CDevManageForm</name>
    <message>
        <source>刷新</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>登录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升级维护</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>夏令时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>批量配置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备数量：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>刷新列表可能会导致正在进行的操作失败，您确定要刷新吗？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>起始IP地址格式错误，请输入有效IP地址。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>结束IP地址格式错误，请输入有效IP地址。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>起始地址不能大于结束地址。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请选择设备。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名或密码不能为空，请重新尝试。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改网络地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重置设备密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重启设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>浏览网页</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不能同时操作多台设备。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该设备不支持密码重置功能，请及时与客服联系。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重置成功，密码为：vorpe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重置失败。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>你确定要重启系统吗？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重启失败。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>所选设备不支持该功能。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接超时,请检查设备网络连接。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>一次最多搜索%1个地址。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法启动浏览器，请在浏览器中打开 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备：%1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备正在重启，重启完成后列表中的状态会变回“未登录”。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取设备参数失败。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>搜索中...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1台设备未应答</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>上次搜索到%1台设备，这次有%2台未应答。请稍后刷新或检查设备的网络连接。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改密码失败。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请先登录设备。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2（用户 %3）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码已修改。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CDstCfgDlg</name>
    <message>
        <source>夏令时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>启用夏令时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开始时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>结束时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>偏移时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>一月</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>二月</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>三月</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>四月</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>五月</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>六月</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>七月</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>八月</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>九月</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>十月</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>十一月</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>十二月</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>首个</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第二个</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第三个</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第四个</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>末个</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>星期日</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>星期一</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>星期二</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>星期三</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>星期四</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>星期五</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>星期六</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1分钟</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请为每一项选择有效的值。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CEditNetworkAddrDlg</name>
    <message>
        <source>修改网络地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>子网掩码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网关</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请填写%1。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2 不在该地址的子网中。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2 无效。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>信息</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CEncodeCfgForm</name>
    <message>
        <source>编码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>主流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编码格式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分辨率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>帧率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>码率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[128 ~ 16384]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编码模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图像质量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>质量优先</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>码率优先</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I帧间隔</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[10 ~ 250]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>启用辅流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>启用第三流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取视频输入参数失败，不能保存。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备没有可用的主流分辨率，不能保存。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取编码参数失败，不能保存。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置参数失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置参数成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>辅流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第三流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置参数失败！%1未能恢复原来的设置。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>、</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CEncodeStreamWidgets</name>
    <message>
        <source>信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该操作会使后面的流关闭，是否继续操作？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>有效值为%1~%2的整数，请重新输入。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CFrameTitle</name>
    <message>
        <source>用户手册</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关于Corvane</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>语言</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>您修改了系统语言，将在下一次启动后生效.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>真的需要退出吗?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>是</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>否</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>帮助</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最小化</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>还原</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最大化</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CImageCfgForm</name>
    <message>
        <source>图像增强</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>亮度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>对比度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>饱和度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>锐度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2D降噪</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3D降噪</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>镜像</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>场景</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>曝光</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>曝光模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>曝光补偿</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>光圈</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>快门</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>快门范围</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>增益</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>增益范围</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>慢快门</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开启</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最慢慢快门</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测光模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>日夜模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>灵敏度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>切换时间(秒)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>宽动态</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>宽动态等级</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>智能红外</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>红外模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>近光灯亮度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>中光灯亮度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>远光灯亮度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>白平衡</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>白平衡模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>蓝色偏移</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>红色偏移</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>恢复默认</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正常</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>垂直</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>水平</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>水平 + 垂直</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>向右旋转90°</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动曝光</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自定义曝光</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>快门优先</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>光圈优先</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>增益优先</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>室内50HZ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>室内60HZ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手动曝光</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>中央权重</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>区域测光</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>强光抑制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>车辆测光</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>彩色</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>黑白</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开关量控制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>超低</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>低</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>中</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>高</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>微调</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>夜间微调</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>钠灯</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全局兼顾</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>过曝抑制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>道路模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手动</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>园区模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>室内</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>室外</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置参数成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置参数失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>有效值为</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>的整数，请重新输入。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最快快门不能慢于最慢快门。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>您确定要恢复默认参数吗？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>默认参数恢复失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>默认参数恢复成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>流媒体开启失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>实况播放失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取参数失败，该组不能配置。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重试</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>与设备的连接已中断，实况已停止。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>视频流已中断。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CImageSettingsForm</name>
    <message>
        <source>重试</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>恢复默认</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取图像参数失败</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>亮度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>对比度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>饱和度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>锐度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>白天</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>夜晚</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>日夜切换</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开启</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手动</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>背光补偿</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>背光补偿等级</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>宽动态</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>宽动态等级</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>曝光模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最短曝光时间(微秒)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最长曝光时间(微秒)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最小增益</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最大增益</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>白平衡</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>红色增益</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>蓝色增益</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>最小值不能大于最大值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置图像参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法获取实时视频地址：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UDP传输</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>通过UDP接收RTP视频，默认在RTSP连接(TCP)中传输</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CLivePlayerWorker</name>
    <message>
        <source>正在连接实时视频</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法播放实时视频：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法播放实时视频（%1），改为每秒显示一张快照</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>只允许本机回环地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不支持的视频编码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>超时未收到数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>实时视频已中断：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法读取快照：%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CMediaReportBar</name>
    <message>
        <source>%1：%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CModifyChanDlg</name>
    <message>
        <source>修改通道</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>码率范围：128~16384</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CMsgDlg</name>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CNetworkCfgForm</name>
    <message>
        <source>获取IP方式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>子网掩码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>默认网关</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MTU</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[576 ~ 1500]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网口类型</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工作模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NTX设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NTX服务</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>启用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>服务器地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>是否鉴权</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>是</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>否</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DNS设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>首选DNS服务器</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备选DNS服务器</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>端口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HTTP端口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[1 ~ 65535]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HTTPS端口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>静态地址(手动)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PPPOE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DHCP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自协商</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>10M 全双工</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>10M 半双工</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>100M 全双工</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>100M 半双工</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1000M 全双工</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>10M 自协商</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>100M 自协商</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1000M 自协商</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SFP光口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>EPON光口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LRE电口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>有效范围为576~1500的整数，请重新输入。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>有效范围为1~65535的整数，请重新输入。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP地址无效，请重新输入。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>子网掩码无效，请重新输入。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP地址不能是网络地址或广播地址，请重新输入。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>默认网关无效或与IP地址不在同一网段，请重新输入。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改网络参数可能会导致网络中断，真的要修改吗？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置参数失败！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网络接口参数读取失败，未写入。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设置参数成功！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备地址已改为%1，请刷新设备列表。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备地址可能已改变，请刷新设备列表。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>首选DNS服务器地址无效，请重新输入。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>备选DNS服务器地址无效，请重新输入。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NTX服务器地址无效，请重新输入。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>COnlineChanModelEx</name>
    <message>
        <source>全选</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>型号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>状态</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导入失败（已存在）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导入失败（未登录）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>COnvifError</name>
    <message>
        <source>仅允许本机回环地址，未发送到 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法连接设备：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备无应答（超时）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HTTP 错误 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备应答格式错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备应答过大，已拒绝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名或密码错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该设备不支持此操作</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备拒绝：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备只接受不安全的认证方式，已拒绝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备证书与首次连接时不同，可能被冒充：%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件无法读写或过大</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ONVIF 设备请用设备上的复位按钮或其网页重置密码。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CResetPasswdDlg</name>
    <message>
        <source>重置设备密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备序列号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>安全码</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CSetupDlg</name>
    <message>
        <source>设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>搜索模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>组播</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>按IP段搜索</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>从</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>到</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>列表自定义</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>版本号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MAC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>序列号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>子网掩码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网关</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>状态</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CShowOnlineDevDlg</name>
    <message>
        <source>在线设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>可多选设备，再单击“添加通道”按钮将设备所有通道添加至通道列表。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>登录设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>添加通道 &gt;&gt; </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请选择设备。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名或密码不能为空，请重新尝试。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CStreamEncodingForm</name>
    <message>
        <source>码流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>分辨率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>帧率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>码率(Kbps)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I帧间隔</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>码率控制</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图像质量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取编码参数失败</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>变码率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>定码率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存成功</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1保存失败，已恢复原设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>、</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1保存失败，且未能恢复已写入的码流</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CSystemInfoForm</name>
    <message>
        <source>系统信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>版本号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>注册码
(Vaporna)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>类型</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MAC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>序列号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>型号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取失败</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CUIDeviceBean</name>
    <message>
        <source>未登录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>连接中...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已登录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未登录(正在重启或用户名、密码错误)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>配置成功</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>配置失败</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在配置...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升级成功</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升级失败</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在升级...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出成功</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出失败</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在导出...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导入成功</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导入失败</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在导入...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在修改...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改成功</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改失败</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改失败(IP地址冲突)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>修改失败(IP地址无效)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未登录(账户已锁定)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>正在重启...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CUpgradeDlg</name>
    <message>
        <source>升级维护</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>软件升级</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升级文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>浏览...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升级</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>诊断信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存路径</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>配置管理</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导入配置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出配置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>提示：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升级、导入配置操作会重启设备。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开升级包</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请选择升级文件。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升级文件格式不正确，请重新尝试。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>您确定要执行软件升级操作吗？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出诊断信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请选择导出的目录。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>选择参数文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请选择参数文件。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文件格式(tgz)不正确，请重新尝试。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导入本地配置文件后设备会自动重启,确定导入配置?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出系统配置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不能同时导出多台设备的系统配置。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>等%1台设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升级文件 (*.zip *.patch *.bin);;所有文件 (*)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CVideoWidget</name>
    <message>
        <source>全屏</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>退出全屏</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CfgSelection</name>
    <message>
        <source>请选择设备。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请选择相同型号的设备。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>该操作仅支持类型为IPC的设备。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>所选设备不支持该功能。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ChanImport</name>
    <message>
        <source>录像机的通道不能导入，请手动添加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>主码流没有码率</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DevSession</name>
    <message>
        <source>此设备不支持</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法读取主码流（错误码 %1）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无法读取主码流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备返回的快照不是 JPEG 图片</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>制造商</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP地址</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>子网掩码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>默认网关</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>硬件标识</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>主机名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时区</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>范围</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EncodeDevModelEx</name>
    <message>
        <source>全选</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>IP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>型号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>版本</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MAC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>子网掩码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网关</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>序列号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>配置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>状态</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>用户名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 已用%2秒</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未登录(%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 上传%2%</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MediaBackend</name>
    <message>
        <source>缺少视频解码模块（%1）</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SearchEditBox</name>
    <message>
        <source>键入关键词</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StreamEncoding</name>
    <message>
        <source>%1超出范围 %2 - %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>主码流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>子码流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>第三码流</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备不支持编码 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>设备不支持分辨率 %1x%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>帧率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>码率</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I帧间隔</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图像质量</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
