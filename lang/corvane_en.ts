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
            <source>搜索设备数量应小于1024。</source>
            <translation>The number of devices searched should be fewer than 1024.</translation>
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
            <source>设备正在重启，请在约3分钟后刷新列表获取该设备。</source>
            <translation>The device is restarting. Refresh the list in about 3 minutes to see it again.</translation>
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
    </context>
    <context>
        <name>CFrameTitle</name>
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
            <source>串号</source>
            <translation>Security Code</translation>
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
    </context>
    <context>
        <name>SearchEditBox</name>
        <message>
            <source>键入关键词</source>
            <translation>Enter keywords</translation>
        </message>
    </context>
</TS>
