#include "highscore/uTINetHighscore.h"

#include "highscore/uGVHTMLUtils.h"

namespace tessum {

std::string CheckValue(std::string_view Text, std::int32_t Modulus, std::int32_t Seed) {
    const std::string s = AnsiLowerCase(Text);
    std::int32_t n = 1;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<std::uint32_t>(static_cast<unsigned char>(s[i]));
        // The server computes in 32-bit two's complement; unsigned arithmetic
        // gives the same bits here without signed overflow.
        const std::uint32_t t = b ^ (static_cast<std::uint32_t>(Seed) - static_cast<std::uint32_t>(i));
        n = static_cast<std::int32_t>(static_cast<std::uint32_t>(n) * t);
        // In 64 bits, so that a modulus of -1 cannot trap on the lowest n;
        // a zero modulus (a broken configuration) leaves n unreduced.
        if (Modulus != 0) n = static_cast<std::int32_t>(std::int64_t{n} % Modulus);
        if (n <= 0) n = 1;
    }
    return std::to_string(n);
}

TCustomINetHighscore::TCustomINetHighscore(std::string Key, TGVCompare Compare, const TGVValueList& Template)
    : TCustomHighscore(std::move(Key), std::move(Compare), Template) {}

void TCustomINetHighscore::BuildForm(const TGVValueList& Entry, TWebPostItems& Items) const {
    Items.Clear();
    const TGVValueList& fields = Template();
    for (int i = 0; i < fields.Count(); ++i) {
        const std::string& name = fields.Items(i).Name;
        const TGVValue* v = Entry.Find(name);
        Items.Add(name, HTMLEncode(v ? v->GetText() : std::string()));
    }
    Items.Add("hs_name", HTMLEncode(GameName));
    Items.Add("hs_index", HTMLEncode(Index));
    std::string signed_text;
    for (const TWebPostItem& item : Items) signed_text += item.Value;
    Items.Add("check", CheckValue(signed_text, CheckModulus, CheckSeed));
    for (TWebPostItem& item : Items) item.Value = URLEncode(item.Value);
}

int TCustomINetHighscore::SendToNet(TCustomWebPost& Post) const {
    Post.Server = Server;
    Post.Port = Port;
    Post.Action = Action;
    for (int i = 0; i < Count(); ++i) {
        const TGVValueList& entry = Items(i);
        if (OnFilter && !OnFilter(entry)) continue;
        BuildForm(entry, Post.Items);
        if (!Post.Execute()) return -1;
    }
    return 0;
}

}  // namespace tessum
