<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CCommSettingDlg</name>
    <message>
        <source>通信設定</source>
        <translation>Communication Settings</translation>
    </message>
    <message>
        <source>現在の設定</source>
        <translation>Current settings</translation>
    </message>
    <message>
        <source>ﾊﾟｿｺﾝ側I/F</source>
        <translation>PC interface</translation>
    </message>
    <message>
        <source>ﾊﾟｿｺﾝの通信設定</source>
        <translation>The PC&apos;s communication settings</translation>
    </message>
    <message>
        <source>ｹﾞｰﾄｳｪｲPLC</source>
        <translation>Gateway PLC</translation>
    </message>
    <message>
        <source>ﾊﾟｿｺﾝが最初に接続するPLC機種</source>
        <translation>PLC model the PC connects to first</translation>
    </message>
    <message>
        <source>接続先PLC</source>
        <translation>Target PLC</translation>
    </message>
    <message>
        <source>最終的に接続するPLC機種</source>
        <translation>PLC model reached in the end</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸ種別</source>
        <translation>Network type</translation>
    </message>
    <message>
        <source>PLC直結接続</source>
        <translation>Direct to the PLC</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸ経由接続</source>
        <translation>Through a network</translation>
    </message>
    <message>
        <source>接続先PLCがﾊﾟｿｺﾝと直接接続する場合</source>
        <translation>The target PLC is connected to the PC directly</translation>
    </message>
    <message>
        <source>接続先PLCとﾊﾟｿｺﾝとの間に中継するｹﾞｰﾄｳｪｲPLCが存在する場合</source>
        <translation>A gateway PLC relays between the PC and the target PLC</translation>
    </message>
    <message>
        <source>接続設定変更</source>
        <translation>Change connection</translation>
    </message>
    <message>
        <source>FL-netﾕﾆｯﾄのﾕﾆｯﾄ番号</source>
        <translation>Unit number of the FL-net unit</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
</context>
<context>
    <name>CCycleTimeDlg</name>
    <message>
        <source>通信ｻｲｸﾙﾀｲﾑ</source>
        <translation>Communication Cycle Time</translation>
    </message>
    <message>
        <source>ﾘﾌﾚｯｼｭｻｲｸﾙ時間</source>
        <translation>Refresh cycle time</translation>
    </message>
    <message>
        <source>測定時間</source>
        <translation>Measured</translation>
    </message>
</context>
<context>
    <name>CDataLinkStatusDlg</name>
    <message>
        <source>ﾃﾞｰﾀﾘﾝｸｽﾃｰﾀｽ</source>
        <translation>Data Link Status</translation>
    </message>
    <message>
        <source>ｽﾃｰﾀｽ状態</source>
        <translation>Status</translation>
    </message>
</context>
<context>
    <name>CErrorHistoryDlg</name>
    <message>
        <source>異常履歴</source>
        <translation>Error History</translation>
    </message>
    <message>
        <source>最大格納件数&#x3000;：</source>
        <translation>Maximum records:</translation>
    </message>
    <message>
        <source>格納件数&#x3000;：</source>
        <translation>Stored records:</translation>
    </message>
    <message>
        <source>ｸﾘｱ(&amp;L)</source>
        <translation>C&amp;lear</translation>
    </message>
</context>
<context>
    <name>CErrorStatusDlg</name>
    <message>
        <source>ｴﾗｰｽﾃｰﾀｽ</source>
        <translation>Error Status</translation>
    </message>
    <message>
        <source>ｽﾃｰﾀｽ状態</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>ｴﾗｰｽﾃｰﾀｽ状態</source>
        <translation>Error status</translation>
    </message>
</context>
<context>
    <name>CExtensionPageWidget</name>
    <message>
        <source>※全ての設定は、LUX01/02/12では無効です。</source>
        <translation>* None of these settings apply to LUX01/02/12.</translation>
    </message>
    <message>
        <source>自ﾉｰﾄﾞ設定</source>
        <translation>Local node</translation>
    </message>
    <message>
        <source>送信ﾃﾞｰﾀ並び</source>
        <translation>Send data order</translation>
    </message>
    <message>
        <source>他ﾉｰﾄﾞ設定</source>
        <translation>Other nodes</translation>
    </message>
    <message>
        <source>各割付ﾉｰﾄﾞからの受信方向を設定</source>
        <translation>Receive order from each mapped node</translation>
    </message>
    <message>
        <source>ﾉｰﾄﾞ番号</source>
        <translation>Node number</translation>
    </message>
    <message>
        <source>受信ﾃﾞｰﾀ並び</source>
        <translation>Receive data order</translation>
    </message>
</context>
<context>
    <name>CLinkSmithDlg</name>
    <message>
        <source>ﾌｧｲﾙ(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>新規作成(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>開く(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>上書き保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>名前を付けて保存(&amp;A)</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>旧ﾊﾞｰｼﾞｮﾝ設定ﾌｧｲﾙを開く(&amp;P)</source>
        <translation>O&amp;pen Old-Version Settings File...</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>編集(&amp;D)</source>
        <translation>E&amp;dit</translation>
    </message>
    <message>
        <source>ｵｰﾙｸﾘｱ(&amp;A)</source>
        <translation>Clear &amp;All</translation>
    </message>
    <message>
        <source>ｵｰﾙｸﾘｱ(&amp;A)	Ctrl+A</source>
        <translation>Clear &amp;All	Ctrl+A</translation>
    </message>
    <message>
        <source>1行ｺﾋﾟｰ(&amp;C)</source>
        <translation>&amp;Copy Line</translation>
    </message>
    <message>
        <source>1行ｺﾋﾟｰ(&amp;C)	Ctrl+C</source>
        <translation>&amp;Copy Line	Ctrl+C</translation>
    </message>
    <message>
        <source>削除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>削除(&amp;D)	Ctrl+D</source>
        <translation>&amp;Delete	Ctrl+D</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>ﾂｰﾙﾊﾞｰ(&amp;T)</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>ｽﾃｰﾀｽﾊﾞｰ(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>言語(&amp;L)</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>設定(&amp;E)</source>
        <translation>S&amp;ettings</translation>
    </message>
    <message>
        <source>転送[ﾊﾟｿｺﾝ→PLC] (&amp;T)</source>
        <translation>&amp;Transfer [PC→PLC]</translation>
    </message>
    <message>
        <source>転送[PLC→ﾊﾟｿｺﾝ] (&amp;F)</source>
        <translation>Trans&amp;fer [PLC→PC]</translation>
    </message>
    <message>
        <source>照合(&amp;C)</source>
        <translation>&amp;Verify</translation>
    </message>
    <message>
        <source>通信設定(&amp;N)</source>
        <translation>Commu&amp;nication Settings...</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸ(&amp;W)...</source>
        <translation>Net&amp;work...</translation>
    </message>
    <message>
        <source>ｽﾃｰﾀｽ(&amp;S)</source>
        <translation>&amp;Status</translation>
    </message>
    <message>
        <source>ﾃﾞｰﾀﾘﾝｸｽﾃｰﾀｽ(&amp;D)</source>
        <translation>&amp;Data Link Status</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸｽﾃｰﾀｽ(&amp;T)</source>
        <translation>Ne&amp;twork Status</translation>
    </message>
    <message>
        <source>ﾉｰﾄﾞｽﾃｰﾀｽ(&amp;N)</source>
        <translation>&amp;Node Status</translation>
    </message>
    <message>
        <source>ｴﾗｰｽﾃｰﾀｽ(&amp;E)</source>
        <translation>&amp;Error Status</translation>
    </message>
    <message>
        <source>異常履歴(&amp;R)</source>
        <translation>Error Histo&amp;ry</translation>
    </message>
    <message>
        <source>ﾒｯｾｰｼﾞ通番ｽﾃｰﾀｽ(&amp;M)</source>
        <translation>&amp;Message Sequence Numbers</translation>
    </message>
    <message>
        <source>通信ｻｲｸﾙﾀｲﾑ(&amp;C)</source>
        <translation>Communication &amp;Cycle Time</translation>
    </message>
    <message>
        <source>ﾗｲﾌﾞﾓﾆﾀ(&amp;L)</source>
        <translation>&amp;Live Monitor</translation>
    </message>
    <message>
        <source>ｵﾌﾟｼｮﾝ(&amp;O)</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>拡張設定(&amp;E)</source>
        <translation>&amp;Extension Settings</translation>
    </message>
    <message>
        <source>表示切替(&amp;S)</source>
        <translation>Number Ba&amp;se</translation>
    </message>
    <message>
        <source>10進表示(&amp;D)</source>
        <translation>&amp;Decimal</translation>
    </message>
    <message>
        <source>16進表示(&amp;H)</source>
        <translation>&amp;Hexadecimal</translation>
    </message>
    <message>
        <source>ﾍﾙﾌﾟ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>目次(&amp;N)</source>
        <translation>&amp;Contents</translation>
    </message>
    <message>
        <source>ﾊﾞｰｼﾞｮﾝ情報(&amp;A)</source>
        <translation>&amp;About LinkSmith</translation>
    </message>
    <message>
        <source>ﾂｰﾙﾊﾞｰ</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>模擬ユニット接続中 (simulated unit)</source>
        <translation>Connected to a simulated unit</translation>
    </message>
    <message>
        <source>LinkSmithのﾊﾞｰｼﾞｮﾝ情報</source>
        <translation>About LinkSmith</translation>
    </message>
    <message>
        <source>Copyright (C) 2026 LinkSmith 開発者一同</source>
        <translation>Copyright (C) 2026 the LinkSmith developers</translation>
    </message>
</context>
<context>
    <name>CLocalNodePageWidget</name>
    <message>
        <source>ｴﾘｱ種別</source>
        <translation>Area type</translation>
    </message>
    <message>
        <source>先頭ﾁｬﾈﾙ</source>
        <translation>Start channel</translation>
    </message>
    <message>
        <source>ｻｲｽﾞ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>ｺﾓﾝﾒﾓﾘ割付先頭ｱﾄﾞﾚｽ</source>
        <translation>Common memory start address</translation>
    </message>
    <message>
        <source>領域1</source>
        <translation>Area 1</translation>
    </message>
    <message>
        <source>領域2</source>
        <translation>Area 2</translation>
    </message>
</context>
<context>
    <name>CMappingTablePageWidget</name>
    <message>
        <source>領域1&#x3000;ｴﾘｱ種別：</source>
        <translation>Area 1 type:</translation>
    </message>
    <message>
        <source>領域2&#x3000;ｴﾘｱ種別：</source>
        <translation>Area 2 type:</translation>
    </message>
    <message>
        <source>先頭ﾁｬﾈﾙ</source>
        <translation>Start ch</translation>
    </message>
    <message>
        <source>ﾉｰﾄﾞ番号</source>
        <translation>Node</translation>
    </message>
    <message>
        <source>ｵﾌｾｯﾄ</source>
        <translation>Offset</translation>
    </message>
    <message>
        <source>ｻｲｽﾞ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>領&#x3000;域&#x3000;1</source>
        <translation>Area 1</translation>
    </message>
    <message>
        <source>領&#x3000;域&#x3000;2</source>
        <translation>Area 2</translation>
    </message>
    <message>
        <source>情報</source>
        <translation>Information</translation>
    </message>
</context>
<context>
    <name>CMessageSequenceDlg</name>
    <message>
        <source>ﾒｯｾｰｼﾞ通番ｽﾃｰﾀｽ</source>
        <translation>Message Sequence Numbers</translation>
    </message>
    <message>
        <source>通番ﾊﾞｰｼﾞｮﾝ番号</source>
        <translation>Sequence version no.</translation>
    </message>
    <message>
        <source>送信用</source>
        <translation>Sending</translation>
    </message>
    <message>
        <source>通番(1：N送信)</source>
        <translation>Sequence no. (1:N sent)</translation>
    </message>
    <message>
        <source>通番(1：1送信)</source>
        <translation>Sequence no. (1:1 sent)</translation>
    </message>
    <message>
        <source>受信用</source>
        <translation>Receiving</translation>
    </message>
    <message>
        <source>通番</source>
        <translation>Sequence no.</translation>
    </message>
</context>
<context>
    <name>CMonitorDlg</name>
    <message>
        <source>ﾗｲﾌﾞﾓﾆﾀ</source>
        <translation>Live Monitor</translation>
    </message>
    <message>
        <source>ﾕﾆｯﾄ</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>ﾉｰﾄﾞ </source>
        <translation>Node </translation>
    </message>
    <message>
        <source>更新間隔(秒)</source>
        <translation>Interval (s)</translation>
    </message>
    <message>
        <source>最終読出し:</source>
        <translation>Last read:</translation>
    </message>
    <message>
        <source>一時停止中(PLC使用中)</source>
        <translation>Paused (PLC in use)</translation>
    </message>
    <message>
        <source>ﾃﾞｰﾀﾘﾝｸｽﾃｰﾀｽ</source>
        <translation>Data Link Status</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸｽﾃｰﾀｽ(加入ﾉｰﾄﾞ)</source>
        <translation>Network Status (joined nodes)</translation>
    </message>
    <message>
        <source>ﾉｰﾄﾞNo</source>
        <translation>Node No</translation>
    </message>
    <message>
        <source>運転状態(上位層)</source>
        <translation>Running (upper layer)</translation>
    </message>
    <message>
        <source>異常(上位層)</source>
        <translation>Error (upper layer)</translation>
    </message>
    <message>
        <source>ｴﾘｱ割付異常</source>
        <translation>Area allocation error</translation>
    </message>
    <message>
        <source>ｴﾗｰｽﾃｰﾀｽ</source>
        <translation>Error Status</translation>
    </message>
    <message>
        <source>通信ｻｲｸﾙﾀｲﾑ</source>
        <translation>Communication Cycle Time</translation>
    </message>
    <message>
        <source>現在値</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>最大値</source>
        <translation>Maximum</translation>
    </message>
    <message>
        <source>最小値</source>
        <translation>Minimum</translation>
    </message>
    <message>
        <source>ｲﾍﾞﾝﾄ</source>
        <translation>Events</translation>
    </message>
    <message>
        <source>種類</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>すべて</source>
        <translation>All</translation>
    </message>
    <message>
        <source>ﾉｰﾄﾞ</source>
        <translation>Node</translation>
    </message>
    <message>
        <source>CSV保存(&amp;S)</source>
        <translation>&amp;Save CSV...</translation>
    </message>
    <message>
        <source>時刻</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>対象</source>
        <translation>Target</translation>
    </message>
    <message>
        <source>変化前</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>変化後</source>
        <translation>After</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>読出し失敗: </source>
        <translation>Read failed: </translation>
    </message>
    <message>
        <source>運転中</source>
        <translation>Running</translation>
    </message>
    <message>
        <source>停止中</source>
        <translation>Stopped</translation>
    </message>
    <message>
        <source>異常あり</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>異常なし</source>
        <translation>No error</translation>
    </message>
    <message>
        <source>異常</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>CSV保存</source>
        <translation>Save CSV</translation>
    </message>
</context>
<context>
    <name>CNetworkDlg</name>
    <message>
        <source>待機中</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>実行中 %1/%2</source>
        <translation>Running %1/%2</translation>
    </message>
    <message>
        <source>実行中</source>
        <translation>Running</translation>
    </message>
    <message>
        <source>照合一致</source>
        <translation>Verify: match</translation>
    </message>
    <message>
        <source>完了: </source>
        <translation>Done: </translation>
    </message>
    <message>
        <source>完了</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>照合不一致 (%1項目)</source>
        <translation>Verify: mismatch (%1 items)</translation>
    </message>
    <message>
        <source>失敗: </source>
        <translation>Failed: </translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸ</source>
        <translation>Network</translation>
    </message>
    <message>
        <source>ﾉｰﾄﾞ番号</source>
        <translation>Node number</translation>
    </message>
    <message>
        <source>ﾉｰﾄﾞ名</source>
        <translation>Node name</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ</source>
        <translation>File</translation>
    </message>
    <message>
        <source>送信 領域1</source>
        <translation>Sends area 1</translation>
    </message>
    <message>
        <source>送信 領域2</source>
        <translation>Sends area 2</translation>
    </message>
    <message>
        <source>ﾁｪｯｸ</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>ﾓﾆﾀ</source>
        <translation>Monitor</translation>
    </message>
    <message>
        <source>結果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>ﾀﾞﾌﾞﾙｸﾘｯｸでﾉｰﾄﾞの設定ﾌｧｲﾙを開きます</source>
        <translation>Double-click to open the node&apos;s settings file</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸﾌｧｲﾙを開く</source>
        <translation>Open Network File</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸﾌｧｲﾙ (*.toml);;すべてのﾌｧｲﾙ (*)</source>
        <translation>Network files (*.toml);;All files (*)</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸ - </source>
        <translation>Network - </translation>
    </message>
    <message>
        <source>%1ﾉｰﾄﾞ  ｴﾗｰ %2  警告 %3</source>
        <translation>%1 nodes  errors %2  warnings %3</translation>
    </message>
    <message>
        <source>ﾈｯﾄﾜｰｸﾌｧｲﾙを読み込めません</source>
        <translation>The network file cannot be read</translation>
    </message>
    <message>
        <source>ｴﾗｰ %1</source>
        <translation>Errors %1</translation>
    </message>
    <message>
        <source>警告 %1</source>
        <translation>Warnings %1</translation>
    </message>
    <message>
        <source>読出し先のﾌｫﾙﾀﾞ</source>
        <translation>Folder to read into</translation>
    </message>
    <message>
        <source>実行中...</source>
        <translation>Running...</translation>
    </message>
    <message>
        <source> / ﾌｧｲﾙ </source>
        <translation> / file </translation>
    </message>
    <message>
        <source>完了 %1  不一致 %2  失敗 %3</source>
        <translation>Done %1  mismatched %2  failed %3</translation>
    </message>
    <message>
        <source>  中止 %1</source>
        <translation>  cancelled %1</translation>
    </message>
    <message>
        <source>%1～%2 (%3)</source>
        <translation>%1-%2 (%3)</translation>
    </message>
    <message>
        <source>開く(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>ﾁｪｯｸ(&amp;C)</source>
        <translation>&amp;Check</translation>
    </message>
    <message>
        <source>同期(&amp;S)</source>
        <translation>&amp;Sync</translation>
    </message>
    <message>
        <source>全ﾉｰﾄﾞ読出し(&amp;R)</source>
        <translation>&amp;Read All</translation>
    </message>
    <message>
        <source>全ﾉｰﾄﾞ書込み(&amp;W)</source>
        <translation>&amp;Write All</translation>
    </message>
    <message>
        <source>全ﾉｰﾄﾞ照合(&amp;V)</source>
        <translation>&amp;Verify All</translation>
    </message>
</context>
<context>
    <name>CNetworkStatusDlg</name>
    <message>
        <source>ﾈｯﾄﾜｰｸｽﾃｰﾀｽ</source>
        <translation>Network Status</translation>
    </message>
</context>
<context>
    <name>CNodeStatusDlg</name>
    <message>
        <source>ﾉｰﾄﾞｽﾃｰﾀｽ</source>
        <translation>Node Status</translation>
    </message>
    <message>
        <source>ﾉｰﾄﾞ番号</source>
        <translation>Node number</translation>
    </message>
    <message>
        <source>ﾉｰﾄﾞの状態</source>
        <translation>Node state</translation>
    </message>
    <message>
        <source>自ﾉｰﾄﾞの状態(自ﾉｰﾄﾞ指定時のみ)</source>
        <translation>Local node state (local node only)</translation>
    </message>
    <message>
        <source>FAﾘﾝｸの状態</source>
        <translation>FA Link state</translation>
    </message>
    <message>
        <source>上位層の状態</source>
        <translation>Upper layer state</translation>
    </message>
    <message>
        <source>ﾘﾌﾚｯｼｭｻｲｸﾙ許容時間</source>
        <translation>Refresh cycle allowed time</translation>
    </message>
    <message>
        <source>ﾄｰｸﾝ監視ﾀｲﾑｱｳﾄ時間</source>
        <translation>Token watchdog timeout</translation>
    </message>
    <message>
        <source>最小許容ﾌﾚｰﾑ間隔</source>
        <translation>Minimum frame interval</translation>
    </message>
    <message>
        <source>x100μsec</source>
        <translation>x100μsec</translation>
    </message>
    <message>
        <source>送信領域</source>
        <translation>Send areas</translation>
    </message>
    <message>
        <source>先頭ｱﾄﾞﾚｽ</source>
        <translation>Start address</translation>
    </message>
    <message>
        <source>ｻｲｽﾞ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>領域1(ﾋﾞｯﾄﾃﾞｰﾀ)</source>
        <translation>Area 1 (bit data)</translation>
    </message>
    <message>
        <source>領域2(ﾜｰﾄﾞﾃﾞｰﾀ)</source>
        <translation>Area 2 (word data)</translation>
    </message>
</context>
<context>
    <name>CQtSettingsFileDialogs</name>
    <message>
        <source>FL-net設定ﾌｧｲﾙ (*.csv)|*.csv||</source>
        <translation>FL-net settings file (*.csv)|*.csv||</translation>
    </message>
    <message>
        <source>LinkSmith設定ﾌｧｲﾙ (*.lsm)|*.lsm||</source>
        <translation>LinkSmith settings file (*.lsm)|*.lsm||</translation>
    </message>
    <message>
        <source>ｺﾒﾝﾄ入力</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>ｺﾒﾝﾄ</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CStatusDialog</name>
    <message>
        <source>更新(&amp;U)</source>
        <translation>&amp;Update</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
</context>
<context>
    <name>CSystemSettingPageWidget</name>
    <message>
        <source>※LUX01/02/12では設定無効です。</source>
        <translation>* Not used by LUX01/02/12.</translation>
    </message>
</context>
<context>
    <name>CUnitAreaPanelWidget</name>
    <message>
        <source>ﾌﾟﾛﾄｺﾙﾊﾞｰｼﾞｮﾝ</source>
        <translation>Protocol version</translation>
    </message>
    <message>
        <source>ﾍﾞﾝﾀﾞ名</source>
        <translation>Vendor</translation>
    </message>
    <message>
        <source>ﾒｰｶ型式</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>ｿﾌﾄﾊﾞｰｼﾞｮﾝ</source>
        <translation>Software version</translation>
    </message>
    <message>
        <source>IPｱﾄﾞﾚｽ</source>
        <translation>IP address</translation>
    </message>
    <message>
        <source>ﾕﾆｯﾄｴﾘｱ設定</source>
        <translation>Unit area settings</translation>
    </message>
    <message>
        <source>最小許容ﾌﾚｰﾑ間隔</source>
        <translation>Minimum frame interval</translation>
    </message>
    <message>
        <source>x 100μsec</source>
        <translation>x 100μsec</translation>
    </message>
    <message>
        <source>ﾄｰｸﾝ監視ﾀｲﾑｱｳﾄ時間</source>
        <translation>Token watchdog timeout</translation>
    </message>
    <message>
        <source>最小許容ﾌﾚｰﾑ間隔Wait時間</source>
        <translation>Min. frame interval wait</translation>
    </message>
    <message>
        <source>ﾉｰﾄﾞ名</source>
        <translation>Node name</translation>
    </message>
    <message>
        <source>※&#x3000;設定を有効にする項目はﾁｪｯｸﾎﾞｯｸｽをONにして下さい。</source>
        <translation>* Tick the check box of each item to be set.</translation>
    </message>
</context>
<context>
    <name>CVerifyResultDlg</name>
    <message>
        <source>照合</source>
        <translation>Verify</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>照合不一致件数</source>
        <translation>Mismatches</translation>
    </message>
</context>
<context>
    <name>EditPlcEntry</name>
    <message>
        <source>[DEV]DEV:機種;CPU:CPU形式;[NET]LINK:UDP;HOST:ｱﾄﾞﾚｽ;PORT:ﾎﾟｰﾄ番号;FRAME:1004;TMO:5000;[ADDRESS]DNA:ﾈｯﾄ番号;DA1:ﾉｰﾄﾞ番号;</source>
        <translation>[DEV]DEV:model;CPU:CPU type;[NET]LINK:UDP;HOST:address;PORT:port;FRAME:1004;TMO:5000;[ADDRESS]DNA:network;DA1:node;</translation>
    </message>
    <message>
        <source>ﾃﾞﾊﾞｲｽ文字列</source>
        <translation>Device string</translation>
    </message>
    <message>
        <source>ｺﾒﾝﾄ</source>
        <translation>Comment</translation>
    </message>
</context>
</TS>
