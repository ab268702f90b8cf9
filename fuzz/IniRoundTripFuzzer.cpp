// Settings written through TIniFile32 read back as written, from the same instance and from a
// fresh one that loads the file, for every section, key and value the format can hold: no line
// breaks or NUL anywhere, keys without "=" and without blanks at their ends, values without
// blanks at their ends, nothing empty. Sections that differ only in letter case are one.
#include "FuzzCheck.h"
#include "support/IniFile32.h"
#include "support/StrFunc.h"

#include <QString>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fuzzer/FuzzedDataProvider.h>
#include <map>
#include <memory>

namespace {

struct ModelSection
{
    std::string name;
    std::map<std::string, std::string> values;
};

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

std::string WithoutLineBreaks(std::string text)
{
    std::string kept;
    for (char c : text) {
        if (c != '\r' && c != '\n' && c != '\0')
            kept += c;
    }
    return kept;
}

std::string Trimmed(const std::string &text)
{
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

std::string MakeKey(FuzzedDataProvider &input)
{
    std::string key = WithoutLineBreaks(input.ConsumeRandomLengthString(12));
    key.erase(std::remove(key.begin(), key.end(), '='), key.end());
    key = Trimmed(key);
    // A key line beginning with "[" could look like a section header.
    if (key.empty() || key[0] == '[')
        key.insert(0, "k");
    return key;
}

std::string MakeValue(FuzzedDataProvider &input)
{
    const std::string value = Trimmed(WithoutLineBreaks(input.ConsumeRandomLengthString(24)));
    return value.empty() ? "v" : value;
}

// Two section names are one section when equal, or equal but for letter case as texts.
bool SameSection(const std::string &a, const std::string &b)
{
    if (a == b)
        return true;
    const QString qa = QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()));
    const QString qb = QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
    // Bytes that are not UTF-8 have no letter case of their own; only ASCII letters fold.
    if (qa.toUtf8().toStdString() != a || qb.toUtf8().toStdString() != b)
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::toupper(static_cast<unsigned char>(x)) ==
                          std::toupper(static_cast<unsigned char>(y));
               });
    return qa.compare(qb, Qt::CaseInsensitive) == 0;
}

class Model
{
public:
    ModelSection &Section(const std::string &name)
    {
        for (ModelSection &section : m_sections) {
            if (SameSection(section.name, name))
                return section;
        }
        m_sections.push_back({name, {}});
        return m_sections.back();
    }
    void Erase(const std::string &name)
    {
        for (auto it = m_sections.begin(); it != m_sections.end(); ++it) {
            if (SameSection(it->name, name)) {
                m_sections.erase(it);
                return;
            }
        }
    }
    const std::vector<ModelSection> &Sections() const { return m_sections; }

private:
    std::vector<ModelSection> m_sections;
};

void CheckAgainstModel(const TIniFile32 &ini, const Model &model)
{
    std::vector<std::string> listed;
    ini.ReadSections(&listed);
    FUZZ_CHECK(listed.size() == model.Sections().size());
    for (size_t i = 0; i < listed.size(); ++i) {
        const ModelSection &section = model.Sections()[i];
        FUZZ_CHECK(listed[i] == Trimmed(section.name));
        for (const auto &[key, value] : section.values)
            FUZZ_CHECK(ini.ReadString(section.name, key, "\x01") == value);
    }
}

// TQ_FUZZ_TRACE=1 prints the operations of an input, to read a failing one.
void Trace(const char *operation, const std::string &section, const std::string &key = "",
           const std::string &value = "")
{
    static const bool enabled = std::getenv("TQ_FUZZ_TRACE") != nullptr;
    if (enabled)
        std::fprintf(stderr, "%s [%s] '%s' '%s'\n", operation, section.c_str(), key.c_str(),
                     value.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string path = tqfuzz::ScratchFolder() + "roundtrip.ini";
    std::remove(path.c_str());

    std::vector<std::string> names;
    for (int i = 0; i < 4; ++i)
        names.push_back(WithoutLineBreaks(input.ConsumeRandomLengthString(12)));

    Model model;
    auto ini = std::make_unique<TIniFile32>(path);
    for (int step = 0; step < 24 && input.remaining_bytes() > 0; ++step) {
        std::string section = names[input.ConsumeIntegralInRange<size_t>(0, names.size() - 1)];
        switch (input.ConsumeIntegralInRange(0, 4)) {
        case 0:
        case 1: {
            const std::string key = MakeKey(input);
            const std::string value = MakeValue(input);
            Trace("WriteString", section, key, value);
            ini->WriteString(section, key, value);
            model.Section(section).values[key] = value;
            break;
        }
        case 2: {
            const std::string key = MakeKey(input);
            const int32_t number = input.ConsumeIntegral<int32_t>();
            Trace("WriteInteger", section, key, std::to_string(number));
            ini->WriteInteger(section, key, number);
            model.Section(section).values[key] = std::to_string(number);
            FUZZ_CHECK(ini->ReadInteger(section, key, number ^ 1) == number);
            break;
        }
        case 3:
            Trace("EraseSection", section);
            ini->EraseSection(section);
            model.Erase(section);
            break;
        default:
            Trace("Reload", "");
            ini = std::make_unique<TIniFile32>(path);
            break;
        }
    }
    CheckAgainstModel(*ini, model);
    const TIniFile32 reloaded(path);
    FUZZ_CHECK(reloaded.GetLines() == ini->GetLines());
    CheckAgainstModel(reloaded, model);
    return 0;
}
