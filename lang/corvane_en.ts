<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
    <context>
        <name>CAboutDlg</name>
        <message>
            <source>关于</source>
            <translation>About</translation>
        </message>
        <message>
            <source>名称</source>
            <translation>Name</translation>
        </message>
        <message>
            <source>版本</source>
            <translation>Version</translation>
        </message>
    </context>
    <context>
        <name>CAddChanDlg</name>
        <message>
            <source>添加通道</source>
            <translation>Add channel</translation>
        </message>
        <message>
            <source>添加通道 &gt;&gt; </source>
            <translation>Add channel &gt;&gt; </translation>
        </message>
        <message>
            <source>码率范围:128~16384</source>
            <translation>Bit rate range: 128~16384</translation>
        </message>
    </context>
    <context>
        <name>CAddressPlan</name>
        <message>
            <source>无法打开 %1：%2</source>
            <translation>cannot open %1: %2</translation>
        </message>
        <message>
            <source>%1 过大，不是地址计划</source>
            <translation>%1 is too large to be an address plan</translation>
        </message>
        <message>
            <source>引号未闭合</source>
            <translation>a quote is never closed</translation>
        </message>
        <message>
            <source>计划为空</source>
            <translation>the plan is empty</translation>
        </message>
        <message>
            <source>表头缺少 %1 列</source>
            <translation>the header names no %1 column</translation>
        </message>
        <message>
            <source>MAC %1 无效</source>
            <translation>MAC %1 is not valid</translation>
        </message>
        <message>
            <source>IP地址 %1 无效</source>
            <translation>IP address %1 is not valid</translation>
        </message>
        <message>
            <source>子网掩码 %1 无效</source>
            <translation>subnet mask %1 is not valid</translation>
        </message>
        <message>
            <source>IP地址 %1 是子网 %2 的网络地址或广播地址</source>
            <translation>IP address %1 is the network or broadcast address of its subnet %2</translation>
        </message>
        <message>
            <source>网关 %1 不在 %2/%3 的子网内或与地址相同</source>
            <translation>gateway %1 is outside the subnet %2/%3 or equals the address</translation>
        </message>
        <message>
            <source>与第 %1 行是同一台设备</source>
            <translation>the same device as line %1</translation>
        </message>
        <message>
            <source>IP地址 %1 与第 %2 行重复</source>
            <translation>IP address %1 repeats line %2</translation>
        </message>
        <message>
            <source>未找到序列号为 %1 的设备</source>
            <translation>no device with serial number %1 was found</translation>
        </message>
        <message>
            <source>未找到 MAC 为 %1 的设备</source>
            <translation>no device with MAC %1 was found</translation>
        </message>
        <message>
            <source>IP地址 %1 已被另一台设备（MAC %2）使用</source>
            <translation>IP address %1 is used by another device (MAC %2)</translation>
        </message>
        <message>
            <source>第 %1 行：%2</source>
            <translation>line %1: %2</translation>
        </message>
        <message>
            <source>表头缺少 mac、serial、endpoint 或 xaddr 列</source>
            <translation>the header names no mac, serial, endpoint or xaddr column</translation>
        </message>
        <message>
            <source>未找到 %1 的设备</source>
            <translation>no device %1 was found</translation>
        </message>
        <message>
            <source>没有 MAC、序列号、端点或服务地址</source>
            <translation>no MAC, serial number, endpoint or service address</translation>
        </message>
        <message>
            <source>IP地址 %1 已被另一台设备（%2）使用</source>
            <translation>IP address %1 is used by another device (%2)</translation>
        </message>
    </context>
    <context>
        <name>CBatchCfgDlg</name>
        <message>
            <source>批量配置</source>
            <translation>Batch configuration</translation>
        </message>
        <message>
            <source>编码设置</source>
            <translation>Encoding settings</translation>
        </message>
        <message>
            <source>主流</source>
            <translation>Main stream</translation>
        </message>
        <message>
            <source>编码格式</source>
            <translation>Encoding format</translation>
        </message>
        <message>
            <source>分辨率</source>
            <translation>Resolution</translation>
        </message>
        <message>
            <source>帧率</source>
            <translation>Frame rate</translation>
        </message>
        <message>
            <source>码率</source>
            <translation>Bit rate</translation>
        </message>
        <message>
            <source>[128 ~ 16384]</source>
            <translation>[128 ~ 16384]</translation>
        </message>
        <message>
            <source>编码模式</source>
            <translation>Encoding mode</translation>
        </message>
        <message>
            <source>图像质量</source>
            <translation>Picture quality</translation>
        </message>
        <message>
            <source>质量优先</source>
            <translation>Quality first</translation>
        </message>
        <message>
            <source>码率优先</source>
            <translation>Bit rate first</translation>
        </message>
        <message>
            <source>I帧间隔</source>
            <translation>I-frame interval</translation>
        </message>
        <message>
            <source>[10 ~ 250]</source>
            <translation>[10 ~ 250]</translation>
        </message>
        <message>
            <source>启用辅流</source>
            <translation>Enable sub stream</translation>
        </message>
        <message>
            <source>启用第三流</source>
            <translation>Enable third stream</translation>
        </message>
        <message>
            <source>配置</source>
            <translation>Configure</translation>
        </message>
        <message>
            <source>音频设置</source>
            <translation>Audio settings</translation>
        </message>
        <message>
            <source>音频输入</source>
            <translation>Audio input</translation>
        </message>
        <message>
            <source>开</source>
            <translation>On</translation>
        </message>
        <message>
            <source>关</source>
            <translation>Off</translation>
        </message>
        <message>
            <source>音频输入增益</source>
            <translation>Audio input gain</translation>
        </message>
        <message>
            <source>[0 ~ 255]</source>
            <translation>[0 ~ 255]</translation>
        </message>
        <message>
            <source>采样率(KHz)</source>
            <translation>Sample rate (kHz)</translation>
        </message>
        <message>
            <source>读取视频输入参数失败，不能配置。</source>
            <translation>Reading the video input settings failed; the devices cannot be configured.</translation>
        </message>
        <message>
            <source>设备没有可用的主流分辨率，不能配置。</source>
            <translation>The device offers no usable main stream resolution; the devices cannot be configured.</translation>
        </message>
        <message>
            <source>读取编码参数失败，不能配置。</source>
            <translation>Reading the encoding settings failed; the devices cannot be configured.</translation>
        </message>
        <message>
            <source>信息</source>
            <translation>Information</translation>
        </message>
        <message>
            <source>读取音频参数失败，不能配置。</source>
            <translation>Reading the audio settings failed; the devices cannot be configured.</translation>
        </message>
        <message>
            <source>请为每一项选择有效的值。</source>
            <translation>Please choose a valid value for every field.</translation>
        </message>
    </context>
    <context>
        <name>CBatchEditAddrDlg</name>
        <message>
            <source>批量修改网络地址</source>
            <translation>Change Network Addresses in Batch</translation>
        </message>
        <message>
            <source>IP 地址</source>
            <translation>IP Address</translation>
        </message>
        <message>
            <source>~</source>
            <translation>~</translation>
        </message>
        <message>
            <source>子网掩码</source>
            <translation>Subnet Mask</translation>
        </message>
        <message>
            <source>网关</source>
            <translation>Gateway</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>导入地址计划...</source>
            <translation>Load address plan...</translation>
        </message>
        <message>
            <source>导入地址计划</source>
            <translation>Load address plan</translation>
        </message>
        <message>
            <source>CSV 文件 (*.csv)</source>
            <translation>CSV files (*.csv)</translation>
        </message>
        <message>
            <source>错误</source>
            <translation>Error</translation>
        </message>
        <message>
            <source>地址计划有误，未发送任何请求：
%1</source>
            <translation>The address plan has errors; nothing was sent:
%1</translation>
        </message>
    </context>
    <context>
        <name>CBatchEditModelEx</name>
        <message>
            <source>全选</source>
            <translation>All</translation>
        </message>
        <message>
            <source>名称</source>
            <translation>Name</translation>
        </message>
        <message>
            <source>IP(旧)</source>
            <translation>IP (Old)</translation>
        </message>
        <message>
            <source>IP(新)</source>
            <translation>IP (New)</translation>
        </message>
        <message>
            <source>子网掩码</source>
            <translation>Subnet Mask</translation>
        </message>
        <message>
            <source>网关</source>
            <translation>Gateway</translation>
        </message>
        <message>
            <source>密码</source>
            <translation>Password</translation>
        </message>
        <message>
            <source>操作结果</source>
            <translation>Result</translation>
        </message>
        <message>
            <source>不在计划中</source>
            <translation>Not in the plan</translation>
        </message>
    </context>
    <context>
        <name>CCapCalculateForm</name>
        <message>
            <source>添加</source>
            <translation>Add</translation>
        </message>
        <message>
            <source>修改</source>
            <translation>Modify</translation>
        </message>
        <message>
            <source>删除</source>
            <translation>Delete</translation>
        </message>
        <message>
            <source>添加在线...</source>
            <translation>Add online...</translation>
        </message>
        <message>
            <source>对所选通道进行计算</source>
            <translation>Compute for the selected channels</translation>
        </message>
        <message>
            <source>已知硬盘大小</source>
            <translation>Disk size known</translation>
        </message>
        <message>
            <source>硬盘大小</source>
            <translation>Disk size</translation>
        </message>
        <message>
            <source>GB</source>
            <translation>GB</translation>
        </message>
        <message>
            <source>每天录像时间</source>
            <translation>Recording time per day</translation>
        </message>
        <message>
            <source>小时</source>
            <translation>hours</translation>
        </message>
        <message>
            <source>可录像时间</source>
            <translation>Recordable time</translation>
        </message>
        <message>
            <source>0 天</source>
            <translation>0 days</translation>
        </message>
        <message>
            <source>提示： 实际空间(GB) = 硬盘大小(GB) * (1000^3) / (1024^3)</source>
            <translation>Hint: real space (GB) = disk size (GB) * (1000^3) / (1024^3)</translation>
        </message>
        <message>
            <source>已知录像时间</source>
            <translation>Recording time known</translation>
        </message>
        <message>
            <source>录像时间</source>
            <translation>Recording time</translation>
        </message>
        <message>
            <source>天</source>
            <translation>days</translation>
        </message>
        <message>
            <source>0 GB</source>
            <translation>0 GB</translation>
        </message>
        <message>
            <source>250GB</source>
            <translation>250GB</translation>
        </message>
        <message>
            <source>350GB</source>
            <translation>350GB</translation>
        </message>
        <message>
            <source>500GB</source>
            <translation>500GB</translation>
        </message>
        <message>
            <source>1TB</source>
            <translation>1TB</translation>
        </message>
        <message>
            <source>2TB</source>
            <translation>2TB</translation>
        </message>
        <message>
            <source>3TB</source>
            <translation>3TB</translation>
        </message>
        <message>
            <source>4TB</source>
            <translation>4TB</translation>
        </message>
        <message>
            <source>6TB</source>
            <translation>6TB</translation>
        </message>
        <message>
            <source>8TB</source>
            <translation>8TB</translation>
        </message>
        <message>
            <source>13TB</source>
            <translation>13TB</translation>
        </message>
        <message>
            <source>14TB</source>
            <translation>14TB</translation>
        </message>
        <message>
            <source>16TB</source>
            <translation>16TB</translation>
        </message>
        <message>
            <source>20TB</source>
            <translation>20TB</translation>
        </message>
        <message>
            <source>24TB</source>
            <translation>24TB</translation>
        </message>
        <message>
            <source>自定义</source>
            <translation>Custom</translation>
        </message>
        <message>
            <source>添加纪录数量不能多于1024。</source>
            <translation>No more than 1024 records may be added.</translation>
        </message>
        <message>
            <source>请选择设备。</source>
            <translation>Please select a device.</translation>
        </message>
        <message>
            <source> 天</source>
            <translation> days</translation>
        </message>
        <message>
            <source>磁盘空间不能为空。</source>
            <translation>The disk space must not be empty.</translation>
        </message>
        <message>
            <source>码率为0，无法计算</source>
            <translation>Bit rate 0, cannot calculate</translation>
        </message>
        <message>
            <source>请添加通道。</source>
            <translation>Please add channels.</translation>
        </message>
        <message>
            <source>信息</source>
            <translation>Information</translation>
        </message>
        <message>
            <source>添加记录数量不能多于1024。</source>
            <translation>No more than 1024 records may be added.</translation>
        </message>
    </context>
    <context>
        <name>CChanDlg</name>
        <message>
            <source>通道数</source>
            <translation>Channels</translation>
        </message>
        <message>
            <source>设备类型</source>
            <translation>Device type</translation>
        </message>
        <message>
            <source>编码格式</source>
            <translation>Encoding</translation>
        </message>
        <message>
            <source>分辨率</source>
            <translation>Resolution</translation>
        </message>
        <message>
            <source>帧率</source>
            <translation>Frame rate</translation>
        </message>
        <message>
            <source>码率(kbps)</source>
            <translation>Bit rate (kbps)</translation>
        </message>
        <message>
            <source>推荐码率(kbps)</source>
            <translation>Recommended (kbps)</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
    </context>
    <context>
        <name>CChanDlgBase</name>
        <message>
            <source>信息</source>
            <translation>Information</translation>
        </message>
    </context>
    <context>
        <name>CChanModelEx</name>
        <message>
            <source>全选</source>
            <translation>All</translation>
        </message>
        <message>
            <source>通道</source>
            <translation>Channel</translation>
        </message>
        <message>
            <source>分辨率</source>
            <translation>Resolution</translation>
        </message>
        <message>
            <source>帧率</source>
            <translation>Frame rate</translation>
        </message>
        <message>
            <source>码率</source>
            <translation>Bit rate</translation>
        </message>
        <message>
            <source>总带宽</source>
            <translation>Total bandwidth</translation>
        </message>
    </context>
    <context>
        <name>CChangePwdDlg</name>
        <message>
            <source>修改密码</source>
            <translation>Change password</translation>
        </message>
        <message>
            <source>设备：</source>
            <translation>Device:</translation>
        </message>
        <message>
            <source>新密码：</source>
            <translation>New password:</translation>
        </message>
        <message>
            <source>确认密码：</source>
            <translation>Confirm password:</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>请输入新密码。</source>
            <translation>Please enter the new password.</translation>
        </message>
        <message>
            <source>两次输入的密码不一致。</source>
            <translation>The two passwords do not match.</translation>
        </message>
        <message>
            <source>信息</source>
            <translation>Information</translation>
        </message>
    </context>
    <context>
        <name>CCli</name>
        <message>
            <source>输出格式：table、csv 或 json</source>
            <translation>output format: table, csv or json</translation>
        </message>
        <message>
            <source>同时处理的设备数（默认 8）</source>
            <translation>devices worked on at once (default 8)</translation>
        </message>
        <message>
            <source>登录用户名</source>
            <translation>user name to log in with</translation>
        </message>
        <message>
            <source>从文件第一行读取密码</source>
            <translation>read the password from the first line of a file</translation>
        </message>
        <message>
            <source>等待设备应答的毫秒数（默认 500）</source>
            <translation>milliseconds to wait for devices to answer (default 500)</translation>
        </message>
        <message>
            <source>同时探测的地址段</source>
            <translation>also probe this address range</translation>
        </message>
        <message>
            <source>不发送组播探测</source>
            <translation>send no multicast probe</translation>
        </message>
        <message>
            <source>新IP地址</source>
            <translation>new IP address</translation>
        </message>
        <message>
            <source>新子网掩码</source>
            <translation>new subnet mask</translation>
        </message>
        <message>
            <source>新网关</source>
            <translation>new gateway</translation>
        </message>
        <message>
            <source>安全码</source>
            <translation>security code</translation>
        </message>
        <message>
            <source>固件文件</source>
            <translation>firmware file</translation>
        </message>
        <message>
            <source>配置文件</source>
            <translation>configuration file</translation>
        </message>
        <message>
            <source>开始时间：月/周/星期/时</source>
            <translation>start as month/week/weekday/hour</translation>
        </message>
        <message>
            <source>结束时间：月/周/星期/时</source>
            <translation>end as month/week/weekday/hour</translation>
        </message>
        <message>
            <source>偏移分钟数：30、60、90 或 120</source>
            <translation>offset in minutes: 30, 60, 90 or 120</translation>
        </message>
        <message>
            <source>关闭夏令时</source>
            <translation>switch daylight saving off</translation>
        </message>
        <message>
            <source>显示帮助</source>
            <translation>show this help</translation>
        </message>
        <message>
            <source>查找设备并列出：每行一台（table）、带表头的 CSV 或 JSON 数组，按地址排序。</source>
            <translation>Finds devices and lists them, sorted by address: one per line (table), CSV with a header, or a JSON array.</translation>
        </message>
        <message>
            <source>登录设备并列出从设备读取的字段。</source>
            <translation>Logs in to the devices and lists the fields read from them.</translation>
        </message>
        <message>
            <source>修改一台设备的网络地址，或按计划文件（CSV）修改多台设备的地址；发送前检查计划的每一行。</source>
            <translation>Changes the network address of one device, or of several by a plan file (CSV); every row of the plan is checked before anything is sent.</translation>
        </message>
        <message>
            <source>用安全码重置设备密码。</source>
            <translation>Resets a device's password with its security code.</translation>
        </message>
        <message>
            <source>重启设备。</source>
            <translation>Restarts the devices.</translation>
        </message>
        <message>
            <source>升级设备固件。</source>
            <translation>Upgrades the devices' firmware.</translation>
        </message>
        <message>
            <source>导出设备配置到文件夹。</source>
            <translation>Exports the devices' configuration into a folder.</translation>
        </message>
        <message>
            <source>把配置文件导入设备。</source>
            <translation>Imports a configuration file into a device.</translation>
        </message>
        <message>
            <source>导出设备诊断信息到文件夹。</source>
            <translation>Exports the devices' diagnostic information into a folder.</translation>
        </message>
        <message>
            <source>设置夏令时规则：月 1-12，第 1-4 周或 last，星期 0-6（0 为星期日），时 0-23；--off 关闭夏令时。</source>
            <translation>Sets the daylight-saving rule: month 1-12, week 1-4 or last, weekday 0-6 (0 is Sunday), hour 0-23; --off switches daylight saving off.</translation>
        </message>
        <message>
            <source>命令：</source>
            <translation>Commands:</translation>
        </message>
        <message>
            <source>每个命令的选项：corvane-cli 命令 --help。</source>
            <translation>Options of a command: corvane-cli COMMAND --help.</translation>
        </message>
        <message>
            <source>密码从 CORVANE_PASSWORD、--password-file 或终端提示读取，从不从命令行读取。</source>
            <translation>The password comes from CORVANE_PASSWORD, --password-file or a prompt on the terminal, never from the command line.</translation>
        </message>
        <message>
            <source>结果：每台设备一行“地址 ok”或“地址 failed: 原因”，或用 --format json 输出数组。</source>
            <translation>Results: one line per device, "ADDRESS ok" or "ADDRESS failed: REASON", or an array with --format json.</translation>
        </message>
        <message>
            <source>退出码：0 全部成功，1 部分设备失败，2 用法或输入错误。</source>
            <translation>Exit codes: 0 every device succeeded, 1 some devices failed, 2 usage or input error.</translation>
        </message>
        <message>
            <source>用法：%1</source>
            <translation>usage: %1</translation>
        </message>
        <message>
            <source>缺少命令</source>
            <translation>missing command</translation>
        </message>
        <message>
            <source>密码不能写在命令行上（其他用户可以看到）：请使用 CORVANE_PASSWORD 或 --password-file</source>
            <translation>a password is not taken on the command line (other users can read it): use CORVANE_PASSWORD or --password-file</translation>
        </message>
        <message>
            <source>未知命令：%1</source>
            <translation>unknown command: %1</translation>
        </message>
        <message>
            <source>--format 应为 table、csv 或 json</source>
            <translation>--format must be table, csv or json</translation>
        </message>
        <message>
            <source>--jobs 应为 1 到 256 的整数</source>
            <translation>--jobs must be a whole number from 1 to 256</translation>
        </message>
        <message>
            <source>缺少 --%1</source>
            <translation>missing --%1</translation>
        </message>
        <message>
            <source>--wait 应为 0 到 60000 的毫秒数</source>
            <translation>--wait must be 0 to 60000 milliseconds</translation>
        </message>
        <message>
            <source>--range 应为 FIRST-LAST，起始地址不大于结束地址</source>
            <translation>--range must be FIRST-LAST with the first address not above the last</translation>
        </message>
        <message>
            <source>--no-multicast 需要 --range</source>
            <translation>--no-multicast needs --range</translation>
        </message>
        <message>
            <source>多余的参数：%1</source>
            <translation>unexpected arguments: %1</translation>
        </message>
        <message>
            <source>只能指定一个设备地址</source>
            <translation>exactly one device address is expected</translation>
        </message>
        <message>
            <source>未找到设备</source>
            <translation>device not found</translation>
        </message>
        <message>
            <source>--plan 不能与地址、--ip、--mask、--gateway 同时使用</source>
            <translation>--plan cannot be combined with an address, --ip, --mask or --gateway</translation>
        </message>
        <message>
            <source>没有用户名（user 列或 --user）</source>
            <translation>no user name (user column or --user)</translation>
        </message>
        <message>
            <source>计划有误，未发送任何请求</source>
            <translation>the plan has errors; nothing was sent</translation>
        </message>
        <message>
            <source>修改地址</source>
            <translation>Changing addresses</translation>
        </message>
        <message>
            <source>--off 不能与 --start、--end、--offset 同时使用</source>
            <translation>--off cannot be combined with --start, --end or --offset</translation>
        </message>
        <message>
            <source>--%1 应为 月/周/星期/时，例如 3/last/0/2</source>
            <translation>--%1 must be month/week/weekday/hour, for example 3/last/0/2</translation>
        </message>
        <message>
            <source>--offset 应为 30、60、90 或 120</source>
            <translation>--offset must be 30, 60, 90 or 120</translation>
        </message>
        <message>
            <source>文件 %1 无法读取</source>
            <translation>cannot read the file %1</translation>
        </message>
        <message>
            <source>无法创建文件夹 %1</source>
            <translation>cannot create the folder %1</translation>
        </message>
        <message>
            <source>缺少设备地址</source>
            <translation>missing device address</translation>
        </message>
        <message>
            <source>输出位置：文件夹（不存在时创建）；snapshot 为 JPEG 文件</source>
            <translation>Output: a folder (created when missing); for snapshot a JPEG file</translation>
        </message>
        <message>
            <source>列出摄像机的各码流：编码、分辨率、帧率、码率（kbit/s）和 I 帧间隔。</source>
            <translation>Lists the camera's streams: encoding, resolution, frame rate, bit rate (kbit/s) and GOP length.</translation>
        </message>
        <message>
            <source>把摄像机当前画面保存为 JPEG 文件。</source>
            <translation>Saves the camera's current picture as a JPEG file.</translation>
        </message>
        <message>
            <source>--format 应为 table 或 json</source>
            <translation>--format must be table or json</translation>
        </message>
        <message>
            <source>地址：IPv4 地址，或用 onvif://主机[:端口] 指定搜索不到的 ONVIF 设备（端口默认 80）。</source>
            <translation>Addresses: IPv4 addresses, or onvif://HOST[:PORT] for an ONVIF device the search does not reach (port 80 by default).</translation>
        </message>
        <message>
            <source>%1 不是有效的IP地址或 onvif://主机[:端口]</source>
            <translation>%1 is not a valid IP address or onvif://HOST[:PORT]</translation>
        </message>
        <message>
            <source>地址计划（CSV：mac、serial、endpoint 或 xaddr，ip、mask、gateway，可选 user）</source>
            <translation>address plan (CSV: mac, serial, endpoint or xaddr, ip, mask, gateway, optional user)</translation>
        </message>
    </context>
    <context>
        <name>CCliLane</name>
        <message>
            <source>无法写入文件 %1：%2</source>
            <translation>Cannot write the file %1: %2</translation>
        </message>
    </context>
    <context>
        <name>CCliPassword</name>
        <message>
            <source>无法读取密码文件 %1：%2</source>
            <translation>cannot read the password file %1: %2</translation>
        </message>
        <message>
            <source>密码文件 %1 过大</source>
            <translation>the password file %1 is too large</translation>
        </message>
        <message>
            <source>需要密码：请设置 CORVANE_PASSWORD、使用 --password-file，或在终端中运行以输入密码</source>
            <translation>a password is needed: set CORVANE_PASSWORD, use --password-file, or run on a terminal to type it</translation>
        </message>
        <message>
            <source>密码：</source>
            <translation>Password: </translation>
        </message>
    </context>
    <context>
        <name>CCliProgress</name>
        <message>
            <source>%1/%2 台设备</source>
            <translation>%1/%2 devices</translation>
        </message>
    </context>
    <context>
        <name>CCorvaneMainWind</name>
        <message>
            <source>Corvane</source>
            <translation>Corvane</translation>
        </message>
        <message>
            <source>设备管理</source>
            <translation>Device Management</translation>
        </message>
        <message>
            <source>容量计算</source>
            <translation>Capacity Calculation</translation>
        </message>
        <message>
            <source>信息</source>
            <translation>Information</translation>
        </message>
        <message>
            <source>打开用户手册失败，请检查文件路径。</source>
            <translation>Failed to open the user manual. Please check the file path.</translation>
        </message>
        <message>
            <source>真的需要退出吗?</source>
            <translation>Do you really want to exit?</translation>
        </message>
        <message>
            <source>没有可打开用户手册的PDF阅读器，请在PDF阅读器中打开 %1</source>
            <translation>No PDF viewer could open the user manual. Please open %1 in a PDF viewer.</translation>
        </message>
    </context>
    <context>
        <name>CDevCfgDlg</name>
        <message>
            <source>配置</source>
            <translation>Configuration</translation>
        </message>
        <message>
            <source>图像</source>
            <translation>Image</translation>
        </message>
        <message>
            <source>网络</source>
            <translation>Network</translation>
        </message>
        <message>
            <source>编码</source>
            <translation>Encoding</translation>
        </message>
        <message>
            <source>系统信息</source>
            <translation>System information</translation>
        </message>
        <message>
            <source>配置 - %1 %2</source>
            <translation>Configuration - %1 %2</translation>
        </message>
    </context>
    <context>
        <name>CDevFailReason</name>
        <message>
            <source>超时</source>
            <translation>Timed out</translation>
        </message>
        <message>
            <source>无法连接设备</source>
            <translation>Device unreachable</translation>
        </message>
        <message>
            <source>用户名或密码错误</source>
            <translation>Wrong user name or password</translation>
        </message>
        <message>
            <source>账户已锁定</source>
            <translation>Account locked</translation>
        </message>
        <message>
            <source>连接被拒绝</source>
            <translation>Connection refused</translation>
        </message>
        <message>
            <source>登录已失效</source>
            <translation>Login no longer valid</translation>
        </message>
        <message>
            <source>参数无效</source>
            <translation>Invalid parameter</translation>
        </message>
        <message>
            <source>设备应答无效</source>
            <translation>Invalid answer from the device</translation>
        </message>
        <message>
            <source>文件无法读写或过大</source>
            <translation>File unreadable, not writable or too large</translation>
        </message>
        <message>
            <source>固件损坏或型号不符</source>
            <translation>Firmware damaged or for another model</translation>
        </message>
        <message>
            <source>配置文件损坏、过大或不属于该设备</source>
            <translation>Configuration file damaged, too large or not for this device</translation>
        </message>
        <message>
            <source>设备正忙</source>
            <translation>Device busy</translation>
        </message>
        <message>
            <source>设备不支持</source>
            <translation>Not supported by the device</translation>
        </message>
        <message>
            <source>设备库未初始化</source>
            <translation>Device library not initialised</translation>
        </message>
        <message>
            <source>错误码 %1</source>
            <translation>Error code %1</translation>
        </message>
        <message>
            <source>序列号或MAC与设备不符</source>
            <translation>Serial number or MAC does not match the device</translation>
        </message>
        <message>
            <source>IP地址已被占用</source>
            <translation>IP address already in use</translation>
        </message>
        <message>
            <source>安全码错误</source>
            <translation>Wrong security code</translation>
        </message>
        <message>
            <source>网络错误</source>
            <translation>Network error</translation>
        </message>
        <message>
            <source>设备拒绝了该地址、掩码或网关</source>
            <translation>The device refused the address, mask or gateway</translation>
        </message>
        <message>
            <source>参数只读</source>
            <translation>Setting is read-only</translation>
        </message>
        <message>
            <source>连接数已满</source>
            <translation>Too many connections</translation>
        </message>
        <message>
            <source>设备正在升级</source>
            <translation>An upgrade is already running</translation>
        </message>
        <message>
            <source>固件损坏</source>
            <translation>Firmware damaged</translation>
        </message>
        <message>
            <source>固件与设备型号不符</source>
            <translation>Firmware for another model</translation>
        </message>
        <message>
            <source>升级中断或无结果</source>
            <translation>Upgrade interrupted or no outcome</translation>
        </message>
        <message>
            <source>原因：%1</source>
            <translation>Reason: %1</translation>
        </message>
        <message>
            <source>设备已离线</source>
            <translation>The device went offline</translation>
        </message>
        <message>
            <source>账户已锁定，约%1分钟后再试</source>
            <translation>account locked, try again in about %1 minutes</translation>
        </message>
        <message>
            <source>地址冲突：另一台设备使用相同地址</source>
            <translation>Address conflict: another device uses the same address</translation>
        </message>
        <message>
            <source>设备身份已改变（密钥与上次不同），已拒绝连接</source>
            <translation>The device's identity changed (its key differs from before); connection refused</translation>
        </message>
        <message>
            <source>由 %1 代答 %2</source>
            <translation>answers from %1 for %2</translation>
        </message>
    </context>
    <context>
        <name>CDevListExport</name>
        <message>
            <source>导出全部设备...</source>
            <translation>Export all devices...</translation>
        </message>
        <message>
            <source>导出勾选的设备...</source>
            <translation>Export ticked devices...</translation>
        </message>
        <message>
            <source>信息</source>
            <translation>Information</translation>
        </message>
        <message>
            <source>请选择设备。</source>
            <translation>Please select a device.</translation>
        </message>
        <message>
            <source>CSV 文件 (*.csv)</source>
            <translation>CSV files (*.csv)</translation>
        </message>
        <message>
            <source>JSON 文件 (*.json)</source>
            <translation>JSON files (*.json)</translation>
        </message>
        <message>
            <source>导出设备列表</source>
            <translation>Export device list</translation>
        </message>
        <message>
            <source>错误</source>
            <translation>Error</translation>
        </message>
        <message>
            <source>导出失败：%1</source>
            <translation>Export failed: %1</translation>
        </message>
        <message>
            <source>备注</source>
            <translation>note</translation>
        </message>
    </context>
    <context>
        <name>CDevLoginDlg</name>
        <message>
            <source>登录</source>
            <translation>Log In</translation>
        </message>
        <message>
            <source>IP地址</source>
            <translation>IP Address</translation>
        </message>
        <message>
            <source>用户名</source>
            <translation>User Name</translation>
        </message>
        <message>
            <source>密码</source>
            <translation>Password</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>提示：该操作需登录设备后才能继续进行。</source>
            <translation>Note: this operation can continue only after logging in to the device.</translation>
        </message>
    </context>
    <context>
        <name>CDevManageForm</name>
        <message>
            <source>刷新</source>
            <translation>Refresh</translation>
        </message>
        <message>
            <source>登录</source>
            <translation>Log in</translation>
        </message>
        <message>
            <source>升级维护</source>
            <translation>Maintenance</translation>
        </message>
        <message>
            <source>夏令时</source>
            <translation>DST</translation>
        </message>
        <message>
            <source>批量配置</source>
            <translation>Batch config</translation>
        </message>
        <message>
            <source>设备数量：</source>
            <translation>Devices:</translation>
        </message>
        <message>
            <source>设置</source>
            <translation>Settings</translation>
        </message>
        <message>
            <source>信息</source>
            <translation>Information</translation>
        </message>
        <message>
            <source>刷新列表可能会导致正在进行的操作失败，您确定要刷新吗？</source>
            <translation>Refreshing the list may make operations in progress fail. Refresh anyway?</translation>
        </message>
        <message>
            <source>错误</source>
            <translation>Error</translation>
        </message>
        <message>
            <source>起始IP地址格式错误，请输入有效IP地址。</source>
            <translation>The begin IP address is malformed; enter a valid IP address.</translation>
        </message>
        <message>
            <source>结束IP地址格式错误，请输入有效IP地址。</source>
            <translation>The end IP address is malformed; enter a valid IP address.</translation>
        </message>
        <message>
            <source>起始地址不能大于结束地址。</source>
            <translation>The begin address must not be greater than the end address.</translation>
        </message>
        <message>
            <source>请选择设备。</source>
            <translation>Please select a device.</translation>
        </message>
        <message>
            <source>用户名或密码不能为空，请重新尝试。</source>
            <translation>The user name or password must not be empty. Please try again.</translation>
        </message>
        <message>
            <source>修改网络地址</source>
            <translation>Change Network Address</translation>
        </message>
        <message>
            <source>重置设备密码</source>
            <translation>Reset Device Password</translation>
        </message>
        <message>
            <source>重启设备</source>
            <translation>Restart Device</translation>
        </message>
        <message>
            <source>浏览网页</source>
            <translation>Browse Web Page</translation>
        </message>
        <message>
            <source>不能同时操作多台设备。</source>
            <translation>Several devices cannot be handled at once.</translation>
        </message>
        <message>
            <source>该设备不支持密码重置功能，请及时与客服联系。</source>
            <translation>This device does not support password reset. Please contact customer service.</translation>
        </message>
        <message>
            <source>重置成功，密码为：vorpe</source>
            <translation>Reset succeeded. The password is now: vorpe</translation>
        </message>
        <message>
            <source>重置失败。</source>
            <translation>Reset failed.</translation>
        </message>
        <message>
            <source>你确定要重启系统吗？</source>
            <translation>Are you sure you want to restart the device?</translation>
        </message>
        <message>
            <source>重启失败。</source>
            <translation>Restart failed.</translation>
        </message>
        <message>
            <source>所选设备不支持该功能。</source>
            <translation>The selected device does not support this function.</translation>
        </message>
        <message>
            <source>连接超时,请检查设备网络连接。</source>
            <translation>Connection timed out. Please check the device's network connection.</translation>
        </message>
        <message>
            <source>一次最多搜索%1个地址。</source>
            <translation>At most %1 addresses can be searched at a time.</translation>
        </message>
        <message>
            <source>无法启动浏览器，请在浏览器中打开 %1</source>
            <translation>No web browser could be started. Open %1 in a browser.</translation>
        </message>
        <message>
            <source>设备：%1 %2</source>
            <translation>Device: %1 %2</translation>
        </message>
        <message>
            <source>设备正在重启，重启完成后列表中的状态会变回“未登录”。</source>
            <translation>The device is restarting. Its status in the list returns to "Not logged in" once the restart is done.</translation>
        </message>
        <message>
            <source>读取设备参数失败。</source>
            <translation>Reading the device's settings failed.</translation>
        </message>
        <message>
            <source>搜索中...</source>
            <translation>Searching...</translation>
        </message>
        <message>
            <source>%1台设备未应答</source>
            <translation>%1 device(s) did not answer</translation>
        </message>
        <message>
            <source>上次搜索到%1台设备，这次有%2台未应答。请稍后刷新或检查设备的网络连接。</source>
            <translation>The last search found %1 devices; %2 of them did not answer this time. Refresh again later or check the devices' network connection.</translation>
        </message>
        <message>
            <source>修改密码</source>
            <translation>Change Password</translation>
        </message>
        <message>
            <source>修改密码失败。</source>
            <translation>Password change failed.</translation>
        </message>
        <message>
            <source>请先登录设备。</source>
            <translation>Please log in to the device first.</translation>
        </message>
        <message>
            <source>%1 %2（用户 %3）</source>
            <translation>%1 %2 (user %3)</translation>
        </message>
        <message>
            <source>密码已修改。</source>
            <translation>The password has been changed.</translation>
        </message>
    </context>
    <context>
        <name>CDstCfgDlg</name>
        <message>
            <source>夏令时</source>
            <translation>Daylight saving time</translation>
        </message>
        <message>
            <source>启用夏令时</source>
            <translation>Enable daylight saving time</translation>
        </message>
        <message>
            <source>开始时间</source>
            <translation>Start time</translation>
        </message>
        <message>
            <source>时</source>
            <translation>o'clock</translation>
        </message>
        <message>
            <source>结束时间</source>
            <translation>End time</translation>
        </message>
        <message>
            <source>偏移时间</source>
            <translation>Offset</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>一月</source>
            <translation>January</translation>
        </message>
        <message>
            <source>二月</source>
            <translation>February</translation>
        </message>
        <message>
            <source>三月</source>
            <translation>March</translation>
        </message>
        <message>
            <source>四月</source>
            <translation>April</translation>
        </message>
        <message>
            <source>五月</source>
            <translation>May</translation>
        </message>
        <message>
            <source>六月</source>
            <translation>June</translation>
        </message>
        <message>
            <source>七月</source>
            <translation>July</translation>
        </message>
        <message>
            <source>八月</source>
            <translation>August</translation>
        </message>
        <message>
            <source>九月</source>
            <translation>September</translation>
        </message>
        <message>
            <source>十月</source>
            <translation>October</translation>
        </message>
        <message>
            <source>十一月</source>
            <translation>November</translation>
        </message>
        <message>
            <source>十二月</source>
            <translation>December</translation>
        </message>
        <message>
            <source>首个</source>
            <translation>First</translation>
        </message>
        <message>
            <source>第二个</source>
            <translation>Second</translation>
        </message>
        <message>
            <source>第三个</source>
            <translation>Third</translation>
        </message>
        <message>
            <source>第四个</source>
            <translation>Fourth</translation>
        </message>
        <message>
            <source>末个</source>
            <translation>Last</translation>
        </message>
        <message>
            <source>星期日</source>
            <translation>Sunday</translation>
        </message>
        <message>
            <source>星期一</source>
            <translation>Monday</translation>
        </message>
        <message>
            <source>星期二</source>
            <translation>Tuesday</translation>
        </message>
        <message>
            <source>星期三</source>
            <translation>Wednesday</translation>
        </message>
        <message>
            <source>星期四</source>
            <translation>Thursday</translation>
        </message>
        <message>
            <source>星期五</source>
            <translation>Friday</translation>
        </message>
        <message>
            <source>星期六</source>
            <translation>Saturday</translation>
        </message>
        <message>
            <source>%1分钟</source>
            <translation>%1 minutes</translation>
        </message>
        <message>
            <source>信息</source>
            <translation>Information</translation>
        </message>
        <message>
            <source>请为每一项选择有效的值。</source>
            <translation>Please choose a valid value for every field.</translation>
        </message>
    </context>
    <context>
        <name>CEditNetworkAddrDlg</name>
        <message>
            <source>修改网络地址</source>
            <translation>Change Network Address</translation>
        </message>
        <message>
            <source>IP地址</source>
            <translation>IP Address</translation>
        </message>
        <message>
            <source>子网掩码</source>
            <translation>Subnet Mask</translation>
        </message>
        <message>
            <source>网关</source>
            <translation>Gateway</translation>
        </message>
        <message>
            <source>密码</source>
            <translation>Password</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>请填写%1。</source>
            <translation>Please fill in %1.</translation>
        </message>
        <message>
            <source>%1 %2 无效。</source>
            <translation>%1 %2 is not valid.</translation>
        </message>
        <message>
            <source>%1 %2 不在该地址的子网中。</source>
            <translation>%1 %2 is not in the subnet of the address.</translation>
        </message>
        <message>
            <source>信息</source>
            <translation>Information</translation>
        </message>
    </context>
    <context>
        <name>CEncodeCfgForm</name>
        <message>
            <source>编码</source>
            <translation>Encoding</translation>
        </message>
        <message>
            <source>主流</source>
            <translation>Main stream</translation>
        </message>
        <message>
            <source>编码格式</source>
            <translation>Encoding format</translation>
        </message>
        <message>
            <source>分辨率</source>
            <translation>Resolution</translation>
        </message>
        <message>
            <source>帧率</source>
            <translation>Frame rate</translation>
        </message>
        <message>
            <source>码率</source>
            <translation>Bit rate</translation>
        </message>
        <message>
            <source>[128 ~ 16384]</source>
            <translation>[128 ~ 16384]</translation>
        </message>
        <message>
            <source>编码模式</source>
            <translation>Encoding mode</translation>
        </message>
        <message>
            <source>图像质量</source>
            <translation>Picture quality</translation>
        </message>
        <message>
            <source>质量优先</source>
            <translation>Quality first</translation>
        </message>
        <message>
            <source>码率优先</source>
            <translation>Bit rate first</translation>
        </message>
        <message>
            <source>I帧间隔</source>
            <translation>I-frame interval</translation>
        </message>
        <message>
            <source>[10 ~ 250]</source>
            <translation>[10 ~ 250]</translation>
        </message>
        <message>
            <source>启用辅流</source>
            <translation>Enable sub stream</translation>
        </message>
        <message>
            <source>启用第三流</source>
            <translation>Enable third stream</translation>
        </message>
        <message>
            <source>保存</source>
            <translation>Save</translation>
        </message>
        <message>
            <source>读取视频输入参数失败，不能保存。</source>
            <translation>Reading the video input failed; the settings cannot be saved.</translation>
        </message>
        <message>
            <source>设备没有可用的主流分辨率，不能保存。</source>
            <translation>The device offers no main stream resolution; the settings cannot be saved.</translation>
        </message>
        <message>
            <source>读取编码参数失败，不能保存。</source>
            <translation>Reading the encoding settings failed; they cannot be saved.</translation>
        </message>
        <message>
            <source>设置参数失败！</source>
            <translation>Setting parameters failed!</translation>
        </message>
        <message>
            <source>设置参数成功！</source>
            <translation>Parameters set!</translation>
        </message>
        <message>
            <source>辅流</source>
            <translation>sub stream</translation>
        </message>
        <message>
            <source>第三流</source>
            <translation>third stream</translation>
        </message>
        <message>
            <source>设置参数失败！%1未能恢复原来的设置。</source>
            <translation>Setting parameters failed! Could not restore the previous settings of: %1.</translation>
        </message>
        <message>
            <source>、</source>
            <translation>, </translation>
        </message>
    </context>
    <context>
        <name>CEncodeStreamWidgets</name>
        <message>
            <source>信息</source>
            <translation>Information</translation>
        </message>
        <message>
            <source>该操作会使后面的流关闭，是否继续操作？</source>
            <translation>This operation will switch off the later streams. Continue?</translation>
        </message>
        <message>
            <source>有效值为%1~%2的整数，请重新输入。</source>
            <translation>Valid values are integers from %1 to %2. Please enter again.</translation>
        </message>
    </context>
    <context>
        <name>CFrameTitle</name>
        <message>
            <source>用户手册</source>
            <translation>User Manual</translation>
        </message>
        <message>
            <source>关于Corvane</source>
            <translation>About Corvane</translation>
        </message>
        <message>
            <source>语言</source>
            <translation>Language</translation>
        </message>
        <message>
            <source>信息</source>
            <translation>Information</translation>
        </message>
        <message>
            <source>您修改了系统语言，将在下一次启动后生效.</source>
            <translation>You have changed the language. It takes effect the next time the program starts.</translation>
        </message>
        <message>
            <source>真的需要退出吗?</source>
            <translation>Do you really want to exit?</translation>
        </message>
        <message>
            <source>是</source>
            <translation>Yes</translation>
        </message>
        <message>
            <source>否</source>
            <translation>No</translation>
        </message>
        <message>
            <source>帮助</source>
            <translation>Help</translation>
        </message>
        <message>
            <source>最小化</source>
            <translation>Minimize</translation>
        </message>
        <message>
            <source>最大化</source>
            <translation>Maximize</translation>
        </message>
        <message>
            <source>还原</source>
            <translation>Restore</translation>
        </message>
        <message>
            <source>关闭</source>
            <translation>Close</translation>
        </message>
    </context>
    <context>
        <name>CImageCfgForm</name>
        <message>
            <source>图像增强</source>
            <translation>Image enhancement</translation>
        </message>
        <message>
            <source>亮度</source>
            <translation>Brightness</translation>
        </message>
        <message>
            <source>对比度</source>
            <translation>Contrast</translation>
        </message>
        <message>
            <source>饱和度</source>
            <translation>Saturation</translation>
        </message>
        <message>
            <source>锐度</source>
            <translation>Sharpness</translation>
        </message>
        <message>
            <source>2D降噪</source>
            <translation>2D noise reduction</translation>
        </message>
        <message>
            <source>3D降噪</source>
            <translation>3D noise reduction</translation>
        </message>
        <message>
            <source>镜像</source>
            <translation>Mirror</translation>
        </message>
        <message>
            <source>场景</source>
            <translation>Scene</translation>
        </message>
        <message>
            <source>曝光</source>
            <translation>Exposure</translation>
        </message>
        <message>
            <source>曝光模式</source>
            <translation>Exposure mode</translation>
        </message>
        <message>
            <source>曝光补偿</source>
            <translation>Compensation</translation>
        </message>
        <message>
            <source>光圈</source>
            <translation>Iris</translation>
        </message>
        <message>
            <source>快门</source>
            <translation>Shutter</translation>
        </message>
        <message>
            <source>快门范围</source>
            <translation>Shutter range</translation>
        </message>
        <message>
            <source>增益</source>
            <translation>Gain</translation>
        </message>
        <message>
            <source>增益范围</source>
            <translation>Gain range</translation>
        </message>
        <message>
            <source>慢快门</source>
            <translation>Slow shutter</translation>
        </message>
        <message>
            <source>开启</source>
            <translation>On</translation>
        </message>
        <message>
            <source>关闭</source>
            <translation>Off</translation>
        </message>
        <message>
            <source>最慢慢快门</source>
            <translation>Slowest slow shutter</translation>
        </message>
        <message>
            <source>测光模式</source>
            <translation>Metering</translation>
        </message>
        <message>
            <source>日夜模式</source>
            <translation>Day/night mode</translation>
        </message>
        <message>
            <source>灵敏度</source>
            <translation>Sensitivity</translation>
        </message>
        <message>
            <source>切换时间(秒)</source>
            <translation>Switch time (s)</translation>
        </message>
        <message>
            <source>宽动态</source>
            <translation>WDR</translation>
        </message>
        <message>
            <source>宽动态等级</source>
            <translation>WDR level</translation>
        </message>
        <message>
            <source>智能红外</source>
            <translation>Smart IR</translation>
        </message>
        <message>
            <source>红外模式</source>
            <translation>IR mode</translation>
        </message>
        <message>
            <source>近光灯亮度</source>
            <translation>Near LED level</translation>
        </message>
        <message>
            <source>中光灯亮度</source>
            <translation>Middle LED level</translation>
        </message>
        <message>
            <source>远光灯亮度</source>
            <translation>Far LED level</translation>
        </message>
        <message>
            <source>白平衡</source>
            <translation>White balance</translation>
        </message>
        <message>
            <source>白平衡模式</source>
            <translation>White balance mode</translation>
        </message>
        <message>
            <source>蓝色偏移</source>
            <translation>Blue offset</translation>
        </message>
        <message>
            <source>红色偏移</source>
            <translation>Red offset</translation>
        </message>
        <message>
            <source>恢复默认</source>
            <translation>Restore defaults</translation>
        </message>
        <message>
            <source>正常</source>
            <translation>Normal</translation>
        </message>
        <message>
            <source>垂直</source>
            <translation>Vertical</translation>
        </message>
        <message>
            <source>水平</source>
            <translation>Horizontal</translation>
        </message>
        <message>
            <source>水平 + 垂直</source>
            <translation>Horizontal + vertical</translation>
        </message>
        <message>
            <source>向右旋转90°</source>
            <translation>Rotate right 90°</translation>
        </message>
        <message>
            <source>自动曝光</source>
            <translation>Auto</translation>
        </message>
        <message>
            <source>自定义曝光</source>
            <translation>Custom</translation>
        </message>
        <message>
            <source>快门优先</source>
            <translation>Shutter priority</translation>
        </message>
        <message>
            <source>光圈优先</source>
            <translation>Iris priority</translation>
        </message>
        <message>
            <source>增益优先</source>
            <translation>Gain priority</translation>
        </message>
        <message>
            <source>室内50HZ</source>
            <translation>Indoor 50 Hz</translation>
        </message>
        <message>
            <source>室内60HZ</source>
            <translation>Indoor 60 Hz</translation>
        </message>
        <message>
            <source>手动曝光</source>
            <translation>Manual</translation>
        </message>
        <message>
            <source>中央权重</source>
            <translation>Centre-weighted</translation>
        </message>
        <message>
            <source>区域测光</source>
            <translation>Area</translation>
        </message>
        <message>
            <source>强光抑制</source>
            <translation>Highlight suppression</translation>
        </message>
        <message>
            <source>车辆测光</source>
            <translation>Vehicle</translation>
        </message>
        <message>
            <source>自动</source>
            <translation>Auto</translation>
        </message>
        <message>
            <source>彩色</source>
            <translation>Colour</translation>
        </message>
        <message>
            <source>黑白</source>
            <translation>Black and white</translation>
        </message>
        <message>
            <source>开关量控制</source>
            <translation>Switch input</translation>
        </message>
        <message>
            <source>超低</source>
            <translation>Very low</translation>
        </message>
        <message>
            <source>低</source>
            <translation>Low</translation>
        </message>
        <message>
            <source>中</source>
            <translation>Medium</translation>
        </message>
        <message>
            <source>高</source>
            <translation>High</translation>
        </message>
        <message>
            <source>微调</source>
            <translation>Fine tuning</translation>
        </message>
        <message>
            <source>夜间微调</source>
            <translation>Night fine tuning</translation>
        </message>
        <message>
            <source>钠灯</source>
            <translation>Sodium lamp</translation>
        </message>
        <message>
            <source>全局兼顾</source>
            <translation>Global balance</translation>
        </message>
        <message>
            <source>过曝抑制</source>
            <translation>Overexposure suppression</translation>
        </message>
        <message>
            <source>道路模式</source>
            <translation>Road</translation>
        </message>
        <message>
            <source>手动</source>
            <translation>Manual</translation>
        </message>
        <message>
            <source>园区模式</source>
            <translation>Park</translation>
        </message>
        <message>
            <source>室内</source>
            <translation>Indoor</translation>
        </message>
        <message>
            <source>室外</source>
            <translation>Outdoor</translation>
        </message>
        <message>
            <source>设置参数成功！</source>
            <translation>Parameters set.</translation>
        </message>
        <message>
            <source>设置参数失败！</source>
            <translation>Setting parameters failed.</translation>
        </message>
        <message>
            <source>信息</source>
            <translation>Information</translation>
        </message>
        <message>
            <source>有效值为</source>
            <translation>Valid values are integers from </translation>
        </message>
        <message>
            <source>的整数，请重新输入。</source>
            <translation>; please enter again.</translation>
        </message>
        <message>
            <source>最快快门不能慢于最慢快门。</source>
            <translation>The fastest shutter must not be slower than the slowest shutter.</translation>
        </message>
        <message>
            <source>您确定要恢复默认参数吗？</source>
            <translation>Restore the default parameters?</translation>
        </message>
        <message>
            <source>默认参数恢复失败！</source>
            <translation>Restoring the default parameters failed.</translation>
        </message>
        <message>
            <source>默认参数恢复成功！</source>
            <translation>Default parameters restored.</translation>
        </message>
        <message>
            <source>流媒体开启失败！</source>
            <translation>Starting the media stream failed.</translation>
        </message>
        <message>
            <source>实况播放失败！</source>
            <translation>Live play failed.</translation>
        </message>
        <message>
            <source>读取参数失败，该组不能配置。</source>
            <translation>The settings could not be read; this group cannot be configured.</translation>
        </message>
        <message>
            <source>重试</source>
            <translation>Retry</translation>
        </message>
        <message>
            <source>与设备的连接已中断，实况已停止。</source>
            <translation>The connection to the device was lost; the live picture stopped.</translation>
        </message>
        <message>
            <source>视频流已中断。</source>
            <translation>The video stream was lost.</translation>
        </message>
    </context>
    <context>
        <name>CImageSettingsForm</name>
        <message>
            <source>重试</source>
            <translation>Retry</translation>
        </message>
        <message>
            <source>恢复默认</source>
            <translation>Restore defaults</translation>
        </message>
        <message>
            <source>读取图像参数失败</source>
            <translation>Reading the image settings failed</translation>
        </message>
        <message>
            <source>亮度</source>
            <translation>Brightness</translation>
        </message>
        <message>
            <source>对比度</source>
            <translation>Contrast</translation>
        </message>
        <message>
            <source>饱和度</source>
            <translation>Saturation</translation>
        </message>
        <message>
            <source>锐度</source>
            <translation>Sharpness</translation>
        </message>
        <message>
            <source>白天</source>
            <translation>Day</translation>
        </message>
        <message>
            <source>夜晚</source>
            <translation>Night</translation>
        </message>
        <message>
            <source>自动</source>
            <translation>Auto</translation>
        </message>
        <message>
            <source>日夜切换</source>
            <translation>Day/night</translation>
        </message>
        <message>
            <source>关闭</source>
            <translation>Off</translation>
        </message>
        <message>
            <source>开启</source>
            <translation>On</translation>
        </message>
        <message>
            <source>手动</source>
            <translation>Manual</translation>
        </message>
        <message>
            <source>背光补偿</source>
            <translation>Backlight compensation</translation>
        </message>
        <message>
            <source>背光补偿等级</source>
            <translation>Backlight compensation level</translation>
        </message>
        <message>
            <source>宽动态</source>
            <translation>Wide dynamic range</translation>
        </message>
        <message>
            <source>宽动态等级</source>
            <translation>Wide dynamic range level</translation>
        </message>
        <message>
            <source>曝光模式</source>
            <translation>Exposure mode</translation>
        </message>
        <message>
            <source>最短曝光时间(微秒)</source>
            <translation>Shortest exposure (µs)</translation>
        </message>
        <message>
            <source>最长曝光时间(微秒)</source>
            <translation>Longest exposure (µs)</translation>
        </message>
        <message>
            <source>最小增益</source>
            <translation>Minimum gain</translation>
        </message>
        <message>
            <source>最大增益</source>
            <translation>Maximum gain</translation>
        </message>
        <message>
            <source>白平衡</source>
            <translation>White balance</translation>
        </message>
        <message>
            <source>红色增益</source>
            <translation>Red gain</translation>
        </message>
        <message>
            <source>蓝色增益</source>
            <translation>Blue gain</translation>
        </message>
        <message>
            <source>最小值不能大于最大值</source>
            <translation>A minimum cannot be above its maximum</translation>
        </message>
        <message>
            <source>设置图像参数</source>
            <translation>Setting the image</translation>
        </message>
        <message>
            <source>无法获取实时视频地址：%1</source>
            <translation>Cannot get the live video address: %1</translation>
        </message>
        <message>
            <source>UDP传输</source>
            <translation>UDP transport</translation>
        </message>
        <message>
            <source>通过UDP接收RTP视频，默认在RTSP连接(TCP)中传输</source>
            <translation>Receive the RTP video over UDP; by default it travels inside the RTSP connection (TCP)</translation>
        </message>
    </context>
    <context>
        <name>CLivePlayerWorker</name>
        <message>
            <source>正在连接实时视频</source>
            <translation>Connecting to the live video</translation>
        </message>
        <message>
            <source>无法播放实时视频：%1</source>
            <translation>Cannot play the live video: %1</translation>
        </message>
        <message>
            <source>无法播放实时视频（%1），改为每秒显示一张快照</source>
            <translation>Cannot play the live video (%1); showing a snapshot every second instead</translation>
        </message>
        <message>
            <source>只允许本机回环地址</source>
            <translation>only loopback addresses are allowed</translation>
        </message>
        <message>
            <source>不支持的视频编码</source>
            <translation>unsupported video encoding</translation>
        </message>
        <message>
            <source>超时未收到数据</source>
            <translation>no data within the time limit</translation>
        </message>
        <message>
            <source>实时视频已中断：%1</source>
            <translation>The live video stopped: %1</translation>
        </message>
        <message>
            <source>无法读取快照：%1</source>
            <translation>Cannot read the snapshot: %1</translation>
        </message>
    </context>
    <context>
        <name>CMediaReportBar</name>
        <message>
            <source>%1：%2</source>
            <translation>%1: %2</translation>
        </message>
    </context>
    <context>
        <name>CModifyChanDlg</name>
        <message>
            <source>修改通道</source>
            <translation>Modify channel</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>码率范围：128~16384</source>
            <translation>Bit rate range: 128~16384</translation>
        </message>
    </context>
    <context>
        <name>CMsgDlg</name>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>关闭</source>
            <translation>Close</translation>
        </message>
    </context>
    <context>
        <name>CNetworkCfgForm</name>
        <message>
            <source>获取IP方式</source>
            <translation>Address mode</translation>
        </message>
        <message>
            <source>IP地址</source>
            <translation>IP address</translation>
        </message>
        <message>
            <source>子网掩码</source>
            <translation>Subnet mask</translation>
        </message>
        <message>
            <source>默认网关</source>
            <translation>Default gateway</translation>
        </message>
        <message>
            <source>MTU</source>
            <translation>MTU</translation>
        </message>
        <message>
            <source>[576 ~ 1500]</source>
            <translation>[576 ~ 1500]</translation>
        </message>
        <message>
            <source>用户名</source>
            <translation>User name</translation>
        </message>
        <message>
            <source>密码</source>
            <translation>Password</translation>
        </message>
        <message>
            <source>网口类型</source>
            <translation>Port type</translation>
        </message>
        <message>
            <source>工作模式</source>
            <translation>Work mode</translation>
        </message>
        <message>
            <source>NTX设置</source>
            <translation>NTX settings</translation>
        </message>
        <message>
            <source>NTX服务</source>
            <translation>NTX service</translation>
        </message>
        <message>
            <source>启用</source>
            <translation>Enable</translation>
        </message>
        <message>
            <source>服务器地址</source>
            <translation>Server address</translation>
        </message>
        <message>
            <source>是否鉴权</source>
            <translation>Authentication</translation>
        </message>
        <message>
            <source>是</source>
            <translation>Yes</translation>
        </message>
        <message>
            <source>否</source>
            <translation>No</translation>
        </message>
        <message>
            <source>DNS设置</source>
            <translation>DNS settings</translation>
        </message>
        <message>
            <source>首选DNS服务器</source>
            <translation>Preferred DNS server</translation>
        </message>
        <message>
            <source>备选DNS服务器</source>
            <translation>Alternate DNS server</translation>
        </message>
        <message>
            <source>端口</source>
            <translation>Ports</translation>
        </message>
        <message>
            <source>HTTP端口</source>
            <translation>HTTP port</translation>
        </message>
        <message>
            <source>[1 ~ 65535]</source>
            <translation>[1 ~ 65535]</translation>
        </message>
        <message>
            <source>HTTPS端口</source>
            <translation>HTTPS port</translation>
        </message>
        <message>
            <source>保存</source>
            <translation>Save</translation>
        </message>
        <message>
            <source>静态地址(手动)</source>
            <translation>Static (manual)</translation>
        </message>
        <message>
            <source>PPPOE</source>
            <translation>PPPoE</translation>
        </message>
        <message>
            <source>DHCP</source>
            <translation>DHCP</translation>
        </message>
        <message>
            <source>自协商</source>
            <translation>Auto-negotiation</translation>
        </message>
        <message>
            <source>10M 全双工</source>
            <translation>10M full duplex</translation>
        </message>
        <message>
            <source>10M 半双工</source>
            <translation>10M half duplex</translation>
        </message>
        <message>
            <source>100M 全双工</source>
            <translation>100M full duplex</translation>
        </message>
        <message>
            <source>100M 半双工</source>
            <translation>100M half duplex</translation>
        </message>
        <message>
            <source>1000M 全双工</source>
            <translation>1000M full duplex</translation>
        </message>
        <message>
            <source>10M 自协商</source>
            <translation>10M auto-negotiation</translation>
        </message>
        <message>
            <source>100M 自协商</source>
            <translation>100M auto-negotiation</translation>
        </message>
        <message>
            <source>1000M 自协商</source>
            <translation>1000M auto-negotiation</translation>
        </message>
        <message>
            <source>电口</source>
            <translation>Electrical port</translation>
        </message>
        <message>
            <source>SFP光口</source>
            <translation>SFP optical port</translation>
        </message>
        <message>
            <source>EPON光口</source>
            <translation>EPON optical port</translation>
        </message>
        <message>
            <source>LRE电口</source>
            <translation>LRE electrical port</translation>
        </message>
        <message>
            <source>有效范围为576~1500的整数，请重新输入。</source>
            <translation>Valid range is integers from 576 to 1500; please enter again.</translation>
        </message>
        <message>
            <source>有效范围为1~65535的整数，请重新输入。</source>
            <translation>Valid range is integers from 1 to 65535; please enter again.</translation>
        </message>
        <message>
            <source>信息</source>
            <translation>Information</translation>
        </message>
        <message>
            <source>IP地址无效，请重新输入。</source>
            <translation>The IP address is not valid; please enter it again.</translation>
        </message>
        <message>
            <source>子网掩码无效，请重新输入。</source>
            <translation>The subnet mask is not valid; please enter it again.</translation>
        </message>
        <message>
            <source>IP地址不能是网络地址或广播地址，请重新输入。</source>
            <translation>The IP address cannot be the network or broadcast address; please enter it again.</translation>
        </message>
        <message>
            <source>默认网关无效或与IP地址不在同一网段，请重新输入。</source>
            <translation>The default gateway is not valid or not in the IP address's subnet; please enter it again.</translation>
        </message>
        <message>
            <source>修改网络参数可能会导致网络中断，真的要修改吗？</source>
            <translation>Changing network parameters may interrupt the network connection. Really change them?</translation>
        </message>
        <message>
            <source>设置参数失败！</source>
            <translation>Setting parameters failed!</translation>
        </message>
        <message>
            <source>网络接口参数读取失败，未写入。</source>
            <translation>The network interface could not be read, so it was not written.</translation>
        </message>
        <message>
            <source>设置参数成功！</source>
            <translation>Setting parameters succeeded!</translation>
        </message>
        <message>
            <source>设备地址已改为%1，请刷新设备列表。</source>
            <translation> The device's address is now %1; please refresh the device list.</translation>
        </message>
        <message>
            <source>设备地址可能已改变，请刷新设备列表。</source>
            <translation> The device's address may have changed; please refresh the device list.</translation>
        </message>
        <message>
            <source>首选DNS服务器地址无效，请重新输入。</source>
            <translation>The preferred DNS server address is not valid; please enter it again.</translation>
        </message>
        <message>
            <source>备选DNS服务器地址无效，请重新输入。</source>
            <translation>The alternate DNS server address is not valid; please enter it again.</translation>
        </message>
        <message>
            <source>NTX服务器地址无效，请重新输入。</source>
            <translation>The NTX server address is not valid; please enter it again.</translation>
        </message>
    </context>
    <context>
        <name>COnlineChanModelEx</name>
        <message>
            <source>全选</source>
            <translation>All</translation>
        </message>
        <message>
            <source>IP</source>
            <translation>IP</translation>
        </message>
        <message>
            <source>型号</source>
            <translation>Model</translation>
        </message>
        <message>
            <source>状态</source>
            <translation>Status</translation>
        </message>
        <message>
            <source>导入失败（已存在）</source>
            <translation>Import failed (already in the list)</translation>
        </message>
        <message>
            <source>导入失败（未登录）</source>
            <translation>Import failed (not logged in)</translation>
        </message>
    </context>
    <context>
        <name>COnvifError</name>
        <message>
            <source>仅允许本机回环地址，未发送到 %1</source>
            <translation>Loopback addresses only: nothing was sent to %1</translation>
        </message>
        <message>
            <source>无法连接设备：%1</source>
            <translation>Cannot reach the device: %1</translation>
        </message>
        <message>
            <source>设备无应答（超时）</source>
            <translation>The device did not answer (timed out)</translation>
        </message>
        <message>
            <source>HTTP 错误 %1</source>
            <translation>HTTP error %1</translation>
        </message>
        <message>
            <source>设备应答格式错误</source>
            <translation>The device's answer is malformed</translation>
        </message>
        <message>
            <source>设备应答过大，已拒绝</source>
            <translation>The device's answer is too large and was refused</translation>
        </message>
        <message>
            <source>用户名或密码错误</source>
            <translation>Wrong user name or password</translation>
        </message>
        <message>
            <source>该设备不支持此操作</source>
            <translation>Not supported by this device</translation>
        </message>
        <message>
            <source>设备拒绝：%1</source>
            <translation>The device refused: %1</translation>
        </message>
        <message>
            <source>设备只接受不安全的认证方式，已拒绝</source>
            <translation>The device accepts only an unsafe sign-in method; refused</translation>
        </message>
        <message>
            <source>设备证书与首次连接时不同，可能被冒充：%1</source>
            <translation>The device's certificate differs from the one seen first; it may be an impostor: %1</translation>
        </message>
        <message>
            <source>文件无法读写或过大</source>
            <translation>File unreadable, not writable or too large</translation>
        </message>
        <message>
            <source>ONVIF 设备请用设备上的复位按钮或其网页重置密码。</source>
            <translation>ONVIF devices reset their password with their own reset button or web page.</translation>
        </message>
    </context>
    <context>
        <name>CResetPasswdDlg</name>
        <message>
            <source>重置设备密码</source>
            <translation>Reset Device Password</translation>
        </message>
        <message>
            <source>设备序列号</source>
            <translation>Device Serial No.</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
        <message>
            <source>安全码</source>
            <translation>Security Code</translation>
        </message>
    </context>
    <context>
        <name>CSetupDlg</name>
        <message>
            <source>设置</source>
            <translation>Settings</translation>
        </message>
        <message>
            <source>搜索模式</source>
            <translation>Search mode</translation>
        </message>
        <message>
            <source>组播</source>
            <translation>Multicast</translation>
        </message>
        <message>
            <source>按IP段搜索</source>
            <translation>Search by IP segment</translation>
        </message>
        <message>
            <source>从</source>
            <translation>From</translation>
        </message>
        <message>
            <source>到</source>
            <translation>To</translation>
        </message>
        <message>
            <source>列表自定义</source>
            <translation>List customisation</translation>
        </message>
        <message>
            <source>版本号</source>
            <translation>Version</translation>
        </message>
        <message>
            <source>MAC</source>
            <translation>MAC</translation>
        </message>
        <message>
            <source>序列号</source>
            <translation>Serial number</translation>
        </message>
        <message>
            <source>子网掩码</source>
            <translation>Subnet mask</translation>
        </message>
        <message>
            <source>网关</source>
            <translation>Gateway</translation>
        </message>
        <message>
            <source>状态</source>
            <translation>Status</translation>
        </message>
        <message>
            <source>确定</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>取消</source>
            <translation>Cancel</translation>
        </message>
    </context>
    <context>
        <name>CShowOnlineDevDlg</name>
        <message>
            <source>在线设备</source>
            <translation>Online devices</translation>
        </message>
        <message>
            <source>可多选设备，再单击“添加通道”按钮将设备所有通道添加至通道列表。</source>
            <translation>Select one or more devices, then click "Add channels" to add their channels to the channel list.</translation>
        </message>
        <message>
            <source>登录设备</source>
            <translation>Log in</translation>
        </message>
        <message>
            <source>添加通道 &gt;&gt; </source>
            <translation>Add channels &gt;&gt; </translation>
        </message>
        <message>
            <source>信息</source>
            <translation>Information</translation>
        </message>
        <message>
            <source>请选择设备。</source>
            <translation>Please select a device.</translation>
        </message>
        <message>
            <source>用户名或密码不能为空，请重新尝试。</source>
            <translation>The user name or password must not be empty. Please try again.</translation>
        </message>
    </context>
    <context>
        <name>CStreamEncodingForm</name>
        <message>
            <source>码流</source>
            <translation>Stream</translation>
        </message>
        <message>
            <source>编码</source>
            <translation>Encoding</translation>
        </message>
        <message>
            <source>分辨率</source>
            <translation>Resolution</translation>
        </message>
        <message>
            <source>帧率</source>
            <translation>Frame rate</translation>
        </message>
        <message>
            <source>码率(Kbps)</source>
            <translation>Bit rate (kbit/s)</translation>
        </message>
        <message>
            <source>I帧间隔</source>
            <translation>GOP length</translation>
        </message>
        <message>
            <source>码率控制</source>
            <translation>Rate control</translation>
        </message>
        <message>
            <source>图像质量</source>
            <translation>Quality</translation>
        </message>
        <message>
            <source>保存</source>
            <translation>Save</translation>
        </message>
        <message>
            <source>读取编码参数失败</source>
            <translation>Reading the encoding failed</translation>
        </message>
        <message>
            <source>变码率</source>
            <translation>Variable bit rate</translation>
        </message>
        <message>
            <source>定码率</source>
            <translation>Constant bit rate</translation>
        </message>
        <message>
            <source>保存成功</source>
            <translation>Saved</translation>
        </message>
        <message>
            <source>%1保存失败，已恢复原设置</source>
            <translation>Saving %1 failed; the previous settings were put back</translation>
        </message>
        <message>
            <source>、</source>
            <translation>, </translation>
        </message>
        <message>
            <source>%1保存失败，且未能恢复已写入的码流</source>
            <translation>Saving %1 failed, and the streams already written could not be put back</translation>
        </message>
    </context>
    <context>
        <name>CSystemInfoForm</name>
        <message>
            <source>系统信息</source>
            <translation>System information</translation>
        </message>
        <message>
            <source>版本号</source>
            <translation>Version</translation>
        </message>
        <message>
            <source>注册码
(Vaporna)</source>
            <translation>Registration code
(Vaporna)</translation>
        </message>
        <message>
            <source>类型</source>
            <translation>Type</translation>
        </message>
        <message>
            <source>MAC</source>
            <translation>MAC</translation>
        </message>
        <message>
            <source>序列号</source>
            <translation>Serial number</translation>
        </message>
        <message>
            <source>型号</source>
            <translation>Model</translation>
        </message>
        <message>
            <source>读取失败</source>
            <translation>Read failed</translation>
        </message>
    </context>
    <context>
        <name>CUIDeviceBean</name>
        <message>
            <source>未登录</source>
            <translation>Not logged in</translation>
        </message>
        <message>
            <source>连接中...</source>
            <translation>Connecting...</translation>
        </message>
        <message>
            <source>已登录</source>
            <translation>Logged in</translation>
        </message>
        <message>
            <source>未登录(正在重启或用户名、密码错误)</source>
            <translation>Not logged in (restarting, or wrong user name or password)</translation>
        </message>
        <message>
            <source>配置成功</source>
            <translation>Configured</translation>
        </message>
        <message>
            <source>配置失败</source>
            <translation>Configuration failed</translation>
        </message>
        <message>
            <source>正在配置...</source>
            <translation>Configuring...</translation>
        </message>
        <message>
            <source>升级成功</source>
            <translation>Upgrade succeeded</translation>
        </message>
        <message>
            <source>升级失败</source>
            <translation>Upgrade failed</translation>
        </message>
        <message>
            <source>正在升级...</source>
            <translation>Upgrading...</translation>
        </message>
        <message>
            <source>导出成功</source>
            <translation>Export succeeded</translation>
        </message>
        <message>
            <source>导出失败</source>
            <translation>Export failed</translation>
        </message>
        <message>
            <source>正在导出...</source>
            <translation>Exporting...</translation>
        </message>
        <message>
            <source>导入成功</source>
            <translation>Import succeeded</translation>
        </message>
        <message>
            <source>导入失败</source>
            <translation>Import failed</translation>
        </message>
        <message>
            <source>正在导入...</source>
            <translation>Importing...</translation>
        </message>
        <message>
            <source>正在修改...</source>
            <translation>Modifying...</translation>
        </message>
        <message>
            <source>修改成功</source>
            <translation>Modified</translation>
        </message>
        <message>
            <source>修改失败</source>
            <translation>Modification failed</translation>
        </message>
        <message>
            <source>修改失败(IP地址冲突)</source>
            <translation>Modification failed (IP address conflict)</translation>
        </message>
        <message>
            <source>修改失败(IP地址无效)</source>
            <translation>Modification failed (invalid IP address)</translation>
        </message>
        <message>
            <source>未登录(账户已锁定)</source>
            <translation>Not logged in (account locked)</translation>
        </message>
        <message>
            <source>正在重启...</source>
            <translation>Restarting...</translation>
        </message>
    </context>
    <context>
        <name>CUpgradeDlg</name>
        <message>
            <source>升级维护</source>
            <translation>Upgrade and Maintenance</translation>
        </message>
        <message>
            <source>软件升级</source>
            <translation>Software Upgrade</translation>
        </message>
        <message>
            <source>升级文件</source>
            <translation>Upgrade File</translation>
        </message>
        <message>
            <source>浏览...</source>
            <translation>Browse...</translation>
        </message>
        <message>
            <source>升级</source>
            <translation>Upgrade</translation>
        </message>
        <message>
            <source>诊断信息</source>
            <translation>Diagnostic Information</translation>
        </message>
        <message>
            <source>保存路径</source>
            <translation>Save Path</translation>
        </message>
        <message>
            <source>导出</source>
            <translation>Export</translation>
        </message>
        <message>
            <source>配置管理</source>
            <translation>Configuration Management</translation>
        </message>
        <message>
            <source>导入配置</source>
            <translation>Import Configuration</translation>
        </message>
        <message>
            <source>导入</source>
            <translation>Import</translation>
        </message>
        <message>
            <source>导出配置</source>
            <translation>Export Configuration</translation>
        </message>
        <message>
            <source>提示：</source>
            <translation>Note:</translation>
        </message>
        <message>
            <source>升级、导入配置操作会重启设备。</source>
            <translation>Upgrading and importing a configuration restart the device.</translation>
        </message>
        <message>
            <source>信息</source>
            <translation>Information</translation>
        </message>
        <message>
            <source>打开升级包</source>
            <translation>Open Upgrade Package</translation>
        </message>
        <message>
            <source>请选择升级文件。</source>
            <translation>Please choose an upgrade file.</translation>
        </message>
        <message>
            <source>升级文件格式不正确，请重新尝试。</source>
            <translation>The upgrade file format is wrong. Please try again.</translation>
        </message>
        <message>
            <source>您确定要执行软件升级操作吗？</source>
            <translation>Do you really want to upgrade the software?</translation>
        </message>
        <message>
            <source>导出诊断信息</source>
            <translation>Export Diagnostic Information</translation>
        </message>
        <message>
            <source>请选择导出的目录。</source>
            <translation>Please choose the export folder.</translation>
        </message>
        <message>
            <source>选择参数文件</source>
            <translation>Choose Parameter File</translation>
        </message>
        <message>
            <source>请选择参数文件。</source>
            <translation>Please choose a parameter file.</translation>
        </message>
        <message>
            <source>文件格式(tgz)不正确，请重新尝试。</source>
            <translation>The file format (tgz) is wrong. Please try again.</translation>
        </message>
        <message>
            <source>导入本地配置文件后设备会自动重启,确定导入配置?</source>
            <translation>The device restarts automatically after importing a local configuration file. Import the configuration?</translation>
        </message>
        <message>
            <source>导出系统配置</source>
            <translation>Export System Configuration</translation>
        </message>
        <message>
            <source>不能同时导出多台设备的系统配置。</source>
            <translation>The system configuration of several devices cannot be exported at once.</translation>
        </message>
        <message>
            <source>关闭</source>
            <translation>Close</translation>
        </message>
        <message>
            <source>等%1台设备</source>
            <translation>%1 devices in all</translation>
        </message>
        <message>
            <source>设备：</source>
            <translation>Devices: </translation>
        </message>
        <message>
            <source>升级文件 (*.zip *.patch *.bin);;所有文件 (*)</source>
            <translation>Firmware files (*.zip *.patch *.bin);;All files (*)</translation>
        </message>
    </context>
    <context>
        <name>CVideoWidget</name>
        <message>
            <source>全屏</source>
            <translation>Full screen</translation>
        </message>
        <message>
            <source>退出全屏</source>
            <translation>Exit full screen</translation>
        </message>
    </context>
    <context>
        <name>CfgSelection</name>
        <message>
            <source>请选择设备。</source>
            <translation>Please select a device.</translation>
        </message>
        <message>
            <source>请选择相同型号的设备。</source>
            <translation>Please select devices of the same model.</translation>
        </message>
        <message>
            <source>该操作仅支持类型为IPC的设备。</source>
            <translation>This operation supports only devices of type IPC.</translation>
        </message>
        <message>
            <source>所选设备不支持该功能。</source>
            <translation>The selected device does not support this function.</translation>
        </message>
    </context>
    <context>
        <name>ChanImport</name>
        <message>
            <source>录像机的通道不能导入，请手动添加</source>
            <translation>the channels of an NVR cannot be imported; add them by hand</translation>
        </message>
        <message>
            <source>主码流没有码率</source>
            <translation>the main stream has no bit rate</translation>
        </message>
    </context>
    <context>
        <name>DevSession</name>
        <message>
            <source>此设备不支持</source>
            <translation>not supported by this device</translation>
        </message>
        <message>
            <source>无法读取主码流（错误码 %1）</source>
            <translation>The main stream cannot be read (code %1)</translation>
        </message>
        <message>
            <source>无法读取主码流</source>
            <translation>The main stream cannot be read</translation>
        </message>
        <message>
            <source>设备返回的快照不是 JPEG 图片</source>
            <translation>The device's snapshot is not a JPEG picture</translation>
        </message>
        <message>
            <source>制造商</source>
            <translation>Manufacturer</translation>
        </message>
        <message>
            <source>IP地址</source>
            <translation>IP address</translation>
        </message>
        <message>
            <source>子网掩码</source>
            <translation>Subnet mask</translation>
        </message>
        <message>
            <source>默认网关</source>
            <translation>Default gateway</translation>
        </message>
        <message>
            <source>硬件标识</source>
            <translation>Hardware ID</translation>
        </message>
        <message>
            <source>主机名</source>
            <translation>Host name</translation>
        </message>
        <message>
            <source>设备时间</source>
            <translation>Device time</translation>
        </message>
        <message>
            <source>时区</source>
            <translation>Time zone</translation>
        </message>
        <message>
            <source>范围</source>
            <translation>Scopes</translation>
        </message>
    </context>
    <context>
        <name>EncodeDevModelEx</name>
        <message>
            <source>全选</source>
            <translation>All</translation>
        </message>
        <message>
            <source>IP</source>
            <translation>IP</translation>
        </message>
        <message>
            <source>型号</source>
            <translation>Model</translation>
        </message>
        <message>
            <source>版本</source>
            <translation>Version</translation>
        </message>
        <message>
            <source>MAC</source>
            <translation>MAC</translation>
        </message>
        <message>
            <source>子网掩码</source>
            <translation>Subnet mask</translation>
        </message>
        <message>
            <source>网关</source>
            <translation>Gateway</translation>
        </message>
        <message>
            <source>序列号</source>
            <translation>Serial number</translation>
        </message>
        <message>
            <source>配置</source>
            <translation>Configuration</translation>
        </message>
        <message>
            <source>状态</source>
            <translation>Status</translation>
        </message>
        <message>
            <source>用户名</source>
            <translation>User name</translation>
        </message>
        <message>
            <source>密码</source>
            <translation>Password</translation>
        </message>
        <message>
            <source>%1 已用%2秒</source>
            <translation>%1 %2 s</translation>
        </message>
        <message>
            <source>未登录(%1)</source>
            <translation>Not logged in (%1)</translation>
        </message>
        <message>
            <source>%1 上传%2%</source>
            <translation>%1 uploading %2%</translation>
        </message>
    </context>
    <context>
        <name>MediaBackend</name>
        <message>
            <source>缺少视频解码模块（%1）</source>
            <translation>The video decoding module is missing (%1)</translation>
        </message>
    </context>
    <context>
        <name>SearchEditBox</name>
        <message>
            <source>键入关键词</source>
            <translation>Enter keywords</translation>
        </message>
    </context>
    <context>
        <name>StreamEncoding</name>
        <message>
            <source>%1超出范围 %2 - %3</source>
            <translation>%1 is outside %2 - %3</translation>
        </message>
        <message>
            <source>主码流</source>
            <translation>Main stream</translation>
        </message>
        <message>
            <source>子码流</source>
            <translation>Sub stream</translation>
        </message>
        <message>
            <source>第三码流</source>
            <translation>Third stream</translation>
        </message>
        <message>
            <source>设备不支持编码 %1</source>
            <translation>The device does not offer the encoding %1</translation>
        </message>
        <message>
            <source>设备不支持分辨率 %1x%2</source>
            <translation>The device does not offer the resolution %1x%2</translation>
        </message>
        <message>
            <source>帧率</source>
            <translation>frame rate</translation>
        </message>
        <message>
            <source>码率</source>
            <translation>bit rate</translation>
        </message>
        <message>
            <source>I帧间隔</source>
            <translation>GOP length</translation>
        </message>
        <message>
            <source>图像质量</source>
            <translation>quality</translation>
        </message>
    </context>
</TS>
