#include "model/Messages.h"

#include <map>
#include <cstdlib>

#include "model/MessageCatalogs.h"

namespace {
const std::map<int, const char*>& Table() {
    static const std::map<int, const char*> kTable = {
        {32771, "新規作成(&N)\tCtrl+N"},
        {32773, "開く(&O)\tCtrl+O"},
        {32774, "上書き保存(&S)\tCtrl+S"},
        {32775, "名前を付けて保存(&A)"},
        {32776, "旧ﾊﾞｰｼﾞｮﾝ設定ﾌｧｲﾙを開く(&P)"},
        {32780, "ﾂｰﾙﾊﾞｰ(&T)"},
        {32781, "ｽﾃｰﾀｽﾊﾞｰ(&S)"},
        {32782, "転送[ﾊﾟｿｺﾝ→PLC] (&T)\tCtrl+T"},
        {32783, "転送[PLC→ﾊﾟｿｺﾝ] (&F)\tCtrl+Shift+T"},
        {32784, "照合(&C)"},
        {32785, "通信設定(&N)"},
        {32786, "ﾃﾞｰﾀﾘﾝｸｽﾃｰﾀｽ(&D)"},
        {32787, "ｴﾗｰｽﾃｰﾀｽ(&E)"},
        {32788, "通信ｻｲｸﾙﾀｲﾑ(&C)"},
        {32789, "ﾒｯｾｰｼﾞ通番ｽﾃｰﾀｽ(&M)"},
        {32790, "異常履歴(&R)"},
        {32791, "ﾉｰﾄﾞｽﾃｰﾀｽ(&N)"},
        {32792, "拡張設定(&E)"},
        {32794, "目次(&N)"},
        {32795, "ﾊﾞｰｼﾞｮﾝ情報(&A)"},
        {32796, "10進表示"},
        {32797, "16進表示"},
        {32808, "CPU高機能ﾕﾆｯﾄｼｽﾃﾑ設定ｴﾘｱ"},
        {32809, "自ﾉｰﾄﾞ設定領域"},
        {32810, "他ﾉｰﾄﾞ設定領域"},
        {32811, "拡張設定"},
        {32818, "No."},
        {32823, "ｵｰﾙｸﾘｱ(&A)\tCtrl+A"},
        {32824, "1行ｺﾋﾟｰ(&C)\tCtrl+C"},
        {32825, "削除(&D)\tCtrl+D"},
        {32826, "最小許容ﾌﾚｰﾑ間隔の設定に誤りがあります。"},
        {32827, "ﾄｰｸﾝ監視ﾀｲﾑｱｳﾄ時間の設定に誤りがあります。"},
        {32828, "最小許容ﾌﾚｰﾑ間隔Wait時間の設定に誤りがあります。"},
        {32829, "ﾉｰﾄﾞ名の設定に誤りがあります。"},
        {32830, "自ﾉｰﾄﾞ設定領域1ｴﾘｱのPLC先頭ｱﾄﾞﾚｽに誤りがあります。"},
        {32831, "自ﾉｰﾄﾞ設定領域1ｴﾘｱｻｲｽﾞに誤りがあります。"},
        {32832, "自ﾉｰﾄﾞ設定領域1ｴﾘｱのｺﾓﾝﾒﾓﾘ先頭ｱﾄﾞﾚｽに誤りがあります。"},
        {32833, "自ﾉｰﾄﾞ設定領域2ｴﾘｱのPLC先頭ｱﾄﾞﾚｽに誤りがあります。"},
        {32834, "自ﾉｰﾄﾞ設定領域2ｴﾘｱｻｲｽﾞに誤りがあります。"},
        {32835, "自ﾉｰﾄﾞ設定領域2ｴﾘｱのｺﾓﾝﾒﾓﾘ先頭ｱﾄﾞﾚｽに誤りがあります。"},
        {32837, "FAﾘﾝｸ割付ｴﾘｱﾃｰﾌﾞﾙの領域1の先頭ｱﾄﾞﾚｽが許容範囲をこえています"},
        {32838, "FAﾘﾝｸ割付ｴﾘｱﾃｰﾌﾞﾙの領域2の先頭ｱﾄﾞﾚｽが許容範囲をこえています"},
        {32839, "FAﾘﾝｸ割付ｴﾘｱﾃｰﾌﾞﾙの領域1ｵﾌｾｯﾄに誤りがあります。"},
        {32840, "FAﾘﾝｸ割付ｴﾘｱﾃｰﾌﾞﾙの領域1ｻｲｽﾞに誤りがあります。"},
        {32841, "FAﾘﾝｸ割付ｴﾘｱﾃｰﾌﾞﾙの領域2ｵﾌｾｯﾄに誤りがあります。"},
        {32842, "FAﾘﾝｸ割付ｴﾘｱﾃｰﾌﾞﾙの領域2ｻｲｽﾞに誤りがあります。"},
        {32843, "Velcommの初期化に失敗しました(Code：%1)。"},
        {32844, "OLEｽﾄﾚｰｼﾞのﾛｯｸに失敗しました。"},
        {32845, "ILOCKBYTESの作成に失敗しました。"},
        {32846, "Hostwire"},
        {32847, "Velcommﾌﾟﾛｼﾞｪｸﾄﾌｧｲﾙが開くことができません。"},
        {32848, "Velcommﾌﾟﾛｼﾞｪｸﾄﾌｧｲﾙ名を取得できません。"},
        {32849, "VelcommﾌﾟﾛｼﾞｪｸﾄﾌｧｲﾙへPLCを追加できません。"},
        {32853, "PLC機種を変更できません。"},
        {32855, "ｻﾌﾞﾈｯﾄﾏｽｸの設定に誤りがあります。"},
        {32856, "PLCを開くことができませんでした。"},
        {32858, "転送時に通信ｴﾗｰが発生しました(Code:%1)"},
        {32859, "PLCｺﾏﾝﾄﾞ送信時のﾃﾞｰﾀ作成に失敗しました。"},
        {32860, "項目"},
        {32861, "PLC側設定値"},
        {32862, "ﾊﾟｿｺﾝ側設定値"},
        {32863, "最小許容ﾌﾚｰﾑ間隔ﾃﾞｰﾀ"},
        {32864, "ﾄｰｸﾝ監視ﾀｲﾑｱｳﾄ時間"},
        {32865, "最小許容ﾌﾚｰﾑ間隔Wait時間"},
        {32866, "FAﾘﾝｸ割付ﾃｰﾌﾞﾙ格納方式"},
        {32867, "FAﾘﾝｸ起動方式"},
        {32868, "ﾒｯｾｰｼﾞ確認手順"},
        {32869, "ﾌﾞﾛｰﾄﾞｷｬｽﾄ形式"},
        {32870, "IPｱﾄﾞﾚｽ設定方式"},
        {32871, "ｻﾌﾞﾈｯﾄﾏｽｸ"},
        {32872, "IPｱﾄﾞﾚｽ"},
        {32873, "FAﾘﾝｸ構成他ﾉｰﾄﾞ数"},
        {32874, "自ﾉｰﾄﾞ領域1先頭ﾁｬﾈﾙ"},
        {32875, "自ﾉｰﾄﾞ領域1ｻｲｽﾞ"},
        {32876, "自ﾉｰﾄﾞ領域1ｺﾓﾝﾒﾓﾘ割付先頭ｱﾄﾞﾚｽ"},
        {32877, "自ﾉｰﾄﾞ領域2先頭ﾁｬﾈﾙ"},
        {32878, "自ﾉｰﾄﾞ領域2ｻｲｽﾞ"},
        {32879, "自ﾉｰﾄﾞ領域2ｺﾓﾝﾒﾓﾘ割付先頭ｱﾄﾞﾚｽ"},
        {32880, "送信ﾃﾞｰﾀ並び指定"},
        {32881, "他ﾉｰﾄﾞ領域1先頭ﾁｬﾈﾙ"},
        {32882, "他ﾉｰﾄﾞ領域2先頭ﾁｬﾈﾙ"},
        {32883, "割付ｴﾘｱﾃｰﾌﾞﾙ内ﾉｰﾄﾞ番号"},
        {32884, "ﾉｰﾄﾞ%1領域1ｵﾌｾｯﾄ"},
        {32886, "ﾉｰﾄﾞ%1領域１ｻｲｽﾞ"},
        {32887, "ﾉｰﾄﾞ%1領域2ｵﾌｾｯﾄ"},
        {32889, "ﾉｰﾄﾞ%1領域2ｻｲｽﾞ"},
        {32890, "ﾉｰﾄﾞ%1受信ﾃﾞｰﾀ並び指定"},
        {32891, "照合一致"},
        {32892, "照合不一致"},
        {32899, "%1 への変更を保存しますか？"},
        {32900, "PLC情報からﾌﾟﾛｼﾞｪｸﾄを作成できませんでした。再度、実行して下さい。それでも失敗する場合は、ｻﾎﾟｰﾄﾂｰﾙを再ｲﾝｽﾄｰﾙして下さい。"},
        {32901, ".cfgﾌｧｲﾙの読込みに失敗しました。"},
        {32902, "無題"},
        {32903, "LinkSmith"},
        {32904, "接続先: ﾈｯﾄ:"},
        {32905, "ﾉｰﾄﾞ:"},
        {32906, "ﾕﾆｯﾄ:"},
        {32909, "PLCのﾃﾞｰﾀをﾊﾟｿｺﾝに転送します。現在設定されている内容が更新されます。よろしいですか？"},
        {32913, "CPU高機能ﾕﾆｯﾄｼｽﾃﾑ設定ｴﾘｱのFAﾘﾝｸ構成ﾉｰﾄﾞ数は96以下に設定してください"},
        {32922, "FAﾘﾝｸ割付ｴﾘｱﾃｰﾌﾞﾙのﾉｰﾄﾞ番号に誤りがあります"},
        {32927, "FAﾘﾝｸ割付ｴﾘｱﾃｰﾌﾞﾙの入力されていないﾃﾞｰﾀがあります"},
        {32928, "FAﾘﾝｸ割付ｴﾘｱﾃｰﾌﾞﾙのﾃﾞｰﾀが連続して入力されていません"},
        {32929, "FAﾘﾝｸ割付ｴﾘｱﾃｰﾌﾞﾙのﾉｰﾄﾞ番号が重複しています"},
        {32935, "送信中...."},
        {32936, "受信中...."},
        {32937, "IPｱﾄﾞﾚｽの設定に誤りがあります。"},
        {32938, "ｵｰﾙｸﾘｱします。よろしいですか？"},
        {32939, "接続先のFL-netﾕﾆｯﾄでは、IPｱﾄﾞﾚｽ設定方式の設定は有効ではありません。設定しなおして下さい。"},
        {32940, "通信速度の設定が有効ではありません。転送を継続しますか？"},
        {32941, "ﾊﾟｿｺﾝのﾃﾞｰﾀをPLCに転送します。このｺﾏﾝﾄﾞは接続中のPLCの状態に影響があります。よろしいですか？"},
        {32942, "拡張設定は有効ではありません｡転送を継続しますか？"},
        {32944, "割付ﾉｰﾄﾞ<%1>に対する同時性は保証されない状態にあります。"},
        {33003, "他ﾉｰﾄﾞ設定領域1の%1番目のﾚｺｰﾄﾞと領域2の%2番目のﾚｺｰﾄﾞが重なっています"},
        {33004, "順方向（LUX02/12と同じ）"},
        {33005, "逆方向"},
        {33006, "non"},
        {33007, "設定したﾕﾆｯﾄ番号のﾕﾆｯﾄは存在しません"},
        {33008, "送信処理が失敗しました（データがプロテクトされています）"},
        {33009, "照合時転送ｴﾗｰにより処理が中断しました"},
        {33010, "領域1のｵﾌｾｯﾄとｻｲｽﾞの和が許容範囲をこえています"},
        {33011, "領域2のｵﾌｾｯﾄとｻｲｽﾞの和が許容範囲をこえています"},
        {33012, "PLC内蔵方式"},
        {33013, "FAﾘﾝｸﾕﾆｯﾄ内蔵方式"},
        {33014, "自動加入方式"},
        {33015, "手動加入方式"},
        {33016, "確認あり"},
        {33017, "確認なし"},
        {33018, "***.***.***.255"},
        {33019, "255.255.255.255"},
        {33020, "192.168.250+ﾉｰﾄﾞNo."},
        {33021, "ｼｽﾃﾑ設定ｴﾘｱ"},
        {33022, "ﾕﾆｯﾄ裏面ﾛｰﾀﾘSW"},
        {33023, "ﾕﾆｯﾄ裏面ﾛｰﾀﾘSW+ﾉｰﾄﾞNo."},
        {33030, "転送が終了しました。"},
        {33031, "順方向"},
        {33032, "%s ﾍﾙﾌﾟ ﾌｧｲﾙが見つかりません。ﾃﾞｨｽｸにこのﾌｧｲﾙが存在するかどうか確認してください。存在しない場合は、このﾌｧｲﾙを再ｲﾝｽﾄｰﾙしてください。"},
        {33033, "FL-net設定ﾌｧｲﾙ (*.csv)|*.csv||"},
        {33034, "自ﾉｰﾄﾞ領域1と他ﾉｰﾄﾞ領域1の%d番目のﾚｺｰﾄﾞが重なっています"},
        {33035, "自ﾉｰﾄﾞ領域1と他ﾉｰﾄﾞ領域2の%d番目のﾚｺｰﾄﾞが重なっています"},
        {33036, "自ﾉｰﾄﾞ領域2と他ﾉｰﾄﾞ領域1の%d番目のﾚｺｰﾄﾞが重なっています"},
        {33037, "自ﾉｰﾄﾞ領域2と他ﾉｰﾄﾞ領域2の%d番目のﾚｺｰﾄﾞが重なっています"},
        {33038, "自ﾉｰﾄﾞ領域1ｴﾘｱ種別"},
        {33039, "自ﾉｰﾄﾞ領域2ｴﾘｱ種別"},
        {33040, "他ﾉｰﾄﾞ領域1ｴﾘｱ種別"},
        {33041, "他ﾉｰﾄﾞ領域2ｴﾘｱ種別"},
        {33043, "ﾉｰﾄﾞ名"},
        {33044, "ﾈｯﾄﾜｰｸｽﾃｰﾀｽ(&T)"},
        {33065, "自ﾉｰﾄﾞ設定領域1と領域2が重なっています"},
        {33066, "通信速度"},
        {33067, "10M固定(Default)"},
        {33068, "自動認識"},
        {33069, "ﾚｽﾎﾟﾝｽﾀｲﾑｱｳﾄが発生しました"},
        {33070, "照合中..."},
        {40001, "ﾌｧｲﾙが見つかりません。"},
        {40002, "ﾌｧｲﾙの読込みに異常がありました。ﾃﾞｰﾀは初期値に変更されている可能性があります"},
        {40003, "ﾌｧｲﾙのｾｰﾌﾞ時ｵｰﾌﾟﾝでｴﾗｰが発生しました。"},
        {40004, "異常履歴ﾃﾞｰﾀをｸﾘｱします。よろしいですか？"},
        {40005, "ﾕﾆｯﾄからの応答ﾃﾞｰﾀが不正です(Command:%1)"},
        {40006, "ﾕﾆｯﾄが報告したﾉｰﾄﾞ数が上限(128)を超えています(%1)"},
        {40020, "自動更新(&A)"},
        {40021, "CSVｺﾋﾟｰ(&V)"},
        // The network window.
        {40160, "ﾈｯﾄﾜｰｸﾌｧｲﾙを読み込めません。\n%1"},
        {40161, "%1個のﾉｰﾄﾞの割付ﾃｰﾌﾞﾙをﾈｯﾄﾜｰｸに合わせて書き換えます。よろしいですか？"},
        {40162, "同期できません。\n%1"},
        {40163, "同期に失敗しました。\n%1"},
        {40164, "全ﾉｰﾄﾞの割付ﾃｰﾌﾞﾙはﾈｯﾄﾜｰｸと一致しています。"},
        {40165, "ﾈｯﾄﾜｰｸのﾁｪｯｸでｴﾗｰが見つかりました。どのﾕﾆｯﾄにも書き込みません。"},
        // The language menu.
        {40170, "表示言語は次回の起動から切り替わります。"},
        {40171, "日本語"},  // each language's own name, in its file
    };
    return kTable;
}

// "\t", "\n" and "\\" in a translation file's column.
std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            out += c == 't' ? '\t' : c == 'n' ? '\n' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

struct Catalog {
    std::string language;
    std::vector<MessageTranslation> entries;
    std::map<int, std::string> byId;
    std::map<std::string, std::string> bySource;
};

// Every compiled-in translation file, parsed once: "id<TAB>source<TAB>text" lines, "#" comments.
const std::vector<Catalog>& Catalogs() {
    static const std::vector<Catalog> kCatalogs = [] {
        std::vector<Catalog> catalogs;
        for (const EmbeddedMessageCatalog& file : EmbeddedMessageCatalogs()) {
            Catalog c;
            c.language = file.language;
            const std::string text = file.text;
            size_t start = 0;
            while (start < text.size()) {
                size_t end = text.find('\n', start);
                if (end == std::string::npos) end = text.size();
                std::string line = text.substr(start, end - start);
                start = end + 1;
                if (!line.empty() && line.back() == '\r') line.pop_back();
                if (line.empty() || line[0] == '#') continue;
                const size_t tab1 = line.find('\t');
                const size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
                if (tab2 == std::string::npos) continue;
                MessageTranslation e{line.substr(0, tab1), Unescape(line.substr(tab1 + 1, tab2 - tab1 - 1)),
                                     Unescape(line.substr(tab2 + 1))};
                if (e.id == "-") {
                    c.bySource[e.source] = e.text;
                } else {
                    const int id = std::atoi(e.id.c_str());
                    if (id > 0) c.byId[id] = e.text;
                }
                c.entries.push_back(std::move(e));
            }
            catalogs.push_back(std::move(c));
        }
        return catalogs;
    }();
    return kCatalogs;
}

std::string& CurrentLanguage() {
    static std::string language = "ja";
    return language;
}

// Null while Japanese, the source, is the language.
const Catalog*& CurrentCatalog() {
    static const Catalog* current = nullptr;
    return current;
}
}  // namespace

bool SetMessageLanguage(const std::string& language) {
    for (const std::string& known : MessageLanguages()) {
        if (known == language) {
            CurrentLanguage() = language;
            CurrentCatalog() = nullptr;
            for (const Catalog& c : Catalogs())
                if (c.language == language) CurrentCatalog() = &c;
            return true;
        }
    }
    return false;
}

const std::string& MessageLanguage() {
    return CurrentLanguage();
}

std::vector<std::string> MessageLanguages() {
    std::vector<std::string> languages = {"ja"};
    for (const Catalog& c : Catalogs()) languages.push_back(c.language);
    return languages;
}

std::vector<int> MessageIds() {
    std::vector<int> ids;
    for (const auto& [id, text] : Table()) ids.push_back(id);
    return ids;
}

std::vector<MessageTranslation> MessageTranslations(const std::string& language) {
    for (const Catalog& c : Catalogs())
        if (c.language == language) return c.entries;
    return {};
}

std::string SourceMessageText(int id) {
    auto it = Table().find(id);
    return it == Table().end() ? std::string() : std::string(it->second);
}

std::string MessageTextIn(const std::string& language, int id) {
    for (const Catalog& c : Catalogs()) {
        if (c.language != language) continue;
        auto it = c.byId.find(id);
        if (it != c.byId.end()) return it->second;
    }
    return SourceMessageText(id);
}

std::string MessageText(int id) {
    if (const Catalog* c = CurrentCatalog()) {
        auto it = c->byId.find(id);
        if (it != c->byId.end()) return it->second;
    }
    return SourceMessageText(id);
}

const char* LocalText(const char* japanese) {
    if (const Catalog* c = CurrentCatalog()) {
        auto it = c->bySource.find(japanese);
        if (it != c->bySource.end()) return it->second.c_str();
    }
    return japanese;
}

namespace {
std::string FormatText(const std::string& text, const std::vector<std::string>& inserts) {
    // %1, %2 ... and the printf-style %d / %s slots take the inserts in order.
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size()) {
            char c = text[i + 1];
            if (c >= '1' && c <= '9') {
                size_t n = static_cast<size_t>(c - '1');
                if (n < inserts.size()) out += inserts[n];
                ++i;
                continue;
            }
            if (c == 'd' || c == 's') {
                if (next < inserts.size()) out += inserts[next++];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}
}  // namespace

std::string FormatMessage(int id, const std::vector<std::string>& inserts) {
    return FormatText(MessageText(id), inserts);
}

std::string FormatLocalText(const char* japanese, const std::vector<std::string>& inserts) {
    return FormatText(LocalText(japanese), inserts);
}
