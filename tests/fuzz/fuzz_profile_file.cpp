// The profile file: any text, read the way the initialisation-file calls read it (sections in
// file order, a key's first value in the first section of that name, blanks trimmed, values
// cut at 1023 characters), then filled into a combo. The "DefaultProfile" number must be the
// value as written when it fits an int, else 0 (no number) or -1 (selects nothing); the combo
// must get one item per section after the first, whatever the sections are called.
#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/ProfileList.h"

namespace {

void Fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "property broken: %s: [%s]\n", what, detail.c_str());
    std::abort();
}

std::string Trim(const std::string& text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1])))
        --e;
    return text.substr(b, e - b);
}

struct Section {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
};

class TextIni {
public:
    explicit TextIni(const std::string& text)
    {
        std::size_t pos = 0;
        while (pos <= text.size()) {
            std::size_t end = text.find_first_of("\r\n", pos);
            if (end == std::string::npos)
                end = text.size();
            const std::string line = Trim(text.substr(pos, end - pos));
            pos = end + 1;
            if (!line.empty() && line[0] == '[') {
                const std::size_t close = line.find(']');
                m_sections.push_back({Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1)), {}});
            } else if (!m_sections.empty() && !line.empty() && line[0] != ';') {
                const std::size_t eq = line.find('=');
                if (eq != std::string::npos)
                    m_sections.back().keys.push_back({Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)).substr(0, 1023)});
            }
        }
    }
    bool HasSection(const CString& name) const
    {
        const Section* s = Find(static_cast<const char*>(name));
        return s && !s->keys.empty();
    }
    CString GetString(const CString& section, const CString& key) const
    {
        if (const Section* s = Find(static_cast<const char*>(section)))
            for (const auto& kv : s->keys)
                if (Same(kv.first, static_cast<const char*>(key)))
                    return kv.second.c_str();
        return "";
    }
    int GetSectionNames(std::vector<CString>& list) const
    {
        list.clear();
        for (const Section& s : m_sections)
            list.push_back(s.name.c_str());
        return static_cast<int>(list.size());
    }
    std::size_t Count() const { return m_sections.size(); }

private:
    static bool Same(const std::string& a, const std::string& b)
    {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
                return false;
        return true;
    }
    const Section* Find(const std::string& name) const
    {
        for (const Section& s : m_sections)
            if (Same(s.name, name))
                return &s;
        return nullptr;
    }
    std::vector<Section> m_sections;
};

struct RecordingCombo {
    std::vector<std::string> items;
    int selection = -2;
    bool reset = false;
    void ResetContent() { items.clear(), reset = true; }
    void AddString(const CString& text) { items.push_back(static_cast<const char*>(text)); }
    void SetCurSel(int n) { selection = n; }
};

// The number an ini value starts with, as strtol reads it, or -1 beyond int.
long long ExpectedDefault(const std::string& text)
{
    const char* p = text.c_str();
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if ((value = value * 10 + (*p - '0')) > 1LL + INT_MAX)
            return -1;
    value = negative ? -value : value;
    return (value > INT_MAX || value < INT_MIN) ? -1 : value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string asValue = text.c_str(); // a value ends at its first zero byte
    if (ParseDefaultProfile(asValue.c_str()) != ExpectedDefault(asValue))
        Fail("DefaultProfile read wrong", asValue);

    const TextIni ini(asValue);
    RecordingCombo combo;
    FillProfileCombo(combo, ini);
    if (!ini.HasSection("Info")) {
        if (combo.reset || combo.selection != -2)
            Fail("combo changed without an Info section", asValue);
        return 0;
    }
    if (!combo.reset || combo.items.size() + 1 != ini.Count())
        Fail("one item per section after the first", asValue);
    if (combo.selection != ExpectedDefault(static_cast<const char*>(ini.GetString("Info", "DefaultProfile"))))
        Fail("selection is not the DefaultProfile number", asValue);
    return 0;
}
