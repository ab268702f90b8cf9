#include "formats/ProfileFunc.h"

#include "formats/ProfileValue.h"
#include "support/IniFile32.h"

#include <QString>
#include <climits>

namespace {

inline constexpr int kBuiltInProfileCount = kQualityCount;
inline constexpr const char *kProposedNamePrefix = "UserProfileInfo";

bool SameNameIgnoringCase(const std::string &a, const std::string &b)
{
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

} // namespace

TProfileFunc::TProfileFunc(const std::string &programFolder, TProfileNamePrompt &namePrompt)
    : m_ini(programFolder), m_namePrompt(namePrompt)
{
}

void TProfileFunc::FillChoiceCombo(TChoiceList &list, TCatalogueTable table) const
{
    const std::vector<std::string> rows = TCatalogue::NewCatalogueList(table);
    if (rows.empty())
        return;
    for (size_t i = 0; i + 1 < rows.size(); ++i)
        list.Add(rows[i]);
    list.SetItemIndex(TProfileValue::StrToInt(rows.back()));
}

void TProfileFunc::FillAllCombos(const TMainProfileControls &main,
                                 const TOptionLists &options) const
{
    FillChoiceCombo(*main.cbbOutputFiletype, TCatalogueTable::OutputTypeNames);
    FillProfileCombo(*main.cbbProfile);
    FillChoiceCombo(*options.cbbAspectratio, TCatalogueTable::AspectRatios);
    FillChoiceCombo(*options.cbbVideoBitrate, TCatalogueTable::VideoBitrates);
    FillChoiceCombo(*options.cbbAudioBitrate, TCatalogueTable::AudioBitrates);
    FillChoiceCombo(*options.cbbAudioChannels, TCatalogueTable::AudioChannelNames);
    FillChoiceCombo(*options.cbbFramerate, TCatalogueTable::FrameRates);
    FillChoiceCombo(*options.cbbAudioSample, TCatalogueTable::SampleRates);
    FillChoiceCombo(*options.cbbAudioVolumeGain, TCatalogueTable::VolumeGains);
    FillChoiceCombo(*options.cbbVideoSize, TCatalogueTable::VideoSizes);
    for (const std::string &name : m_ini.ReadIniSections(kProfileStoreFile))
        options.cbbCustomProfile->Add(name);
}

void TProfileFunc::FillProfileCombo(TChoiceList &cbbProfile) const
{
    const std::vector<std::string> qualities =
        TCatalogue::NewCatalogueList(TCatalogueTable::QualityNames);
    for (int i = 0; i < kQualityCount; ++i)
        cbbProfile.Add(qualities[static_cast<size_t>(i)]);
    for (const std::string &name : m_ini.ReadIniSections(kProfileStoreFile))
        cbbProfile.Add(name);
    cbbProfile.SetItemIndex(kNormalQualityIndex);
}

void TProfileFunc::FillCustomProfileCombo(TChoiceList &cbbCustomProfile) const
{
    const std::string shown = cbbCustomProfile.Text();
    const int position = cbbCustomProfile.ItemIndex();
    const std::string selectedName = cbbCustomProfile.SelectedItem();
    const std::vector<std::string> names = m_ini.ReadIniSections(kProfileStoreFile);
    cbbCustomProfile.Clear();
    for (const std::string &name : names)
        cbbCustomProfile.Add(name);
    // A selected profile that is still stored stays selected (the command builder applies the
    // selected one); otherwise nothing is selected and the shown text stays as it was.
    if (position >= 0) {
        if (cbbCustomProfile.Item(position) == selectedName) {
            cbbCustomProfile.SetItemIndex(position);
            return;
        }
        for (int i = 0; i < cbbCustomProfile.Count(); ++i) {
            if (cbbCustomProfile.Item(i) == selectedName) {
                cbbCustomProfile.SetItemIndex(i);
                return;
            }
        }
    }
    cbbCustomProfile.SetText(shown);
}

void TProfileFunc::KeepProfileComboInStep(TChoiceList &cbbProfile) const
{
    const int position = cbbProfile.ItemIndex();
    const std::string selectedName = cbbProfile.SelectedItem();
    cbbProfile.Clear();
    FillProfileCombo(cbbProfile);
    if (position >= 0 && position < kBuiltInProfileCount) {
        cbbProfile.SetItemIndex(position);
        return;
    }
    if (position < kBuiltInProfileCount)
        return; // nothing was selected: "Normal Quality" now is
    for (int i = kBuiltInProfileCount; i < cbbProfile.Count(); ++i) {
        if (cbbProfile.Item(i) == selectedName) {
            cbbProfile.SetItemIndex(i);
            return;
        }
    }
}

void TProfileFunc::ApplyProfile(const TMainProfileControls &main, const TOptionLists &options) const
{
    const int position = main.cbbProfile->ItemIndex();
    if (position >= kBuiltInProfileCount) {
        options.cbbCustomProfile->SetItemIndex(position - kBuiltInProfileCount);
        ApplyCustomProfile(options);
        return;
    }

    const int outputType = main.cbbOutputFiletype->ItemIndex();
    TCatalogueTable table;
    if (!TCatalogue::PresetTableOf(outputType, &table)) {
        return; // no output type chosen: nothing to apply, the switches stay as they are
    }
    const bool canChooseProfile = outputType != otAmr;
    main.cbbProfile->SetEnabled(canChooseProfile);
    main.btnOptions->SetEnabled(canChooseProfile);

    // A built-in profile now decides the values, so no custom profile stays selected: the
    // command builder re-applies the selected custom profile for every job.
    options.cbbCustomProfile->SetItemIndex(-1);

    const std::optional<TProfileValue::Fields> fields =
        TProfileValue::Parse(TCatalogue::PresetRow(outputType, position), kNoneField);
    if (fields)
        TProfileValue::Apply(*fields, options);
}

std::string TProfileFunc::ReadCustomProfileValue(const TOptionLists &options) const
{
    const std::string name = options.cbbCustomProfile->SelectedItem();
    if (name.empty())
        return {};
    return m_ini.ReadIniValue(kProfileStoreFile, name);
}

void TProfileFunc::ApplyCustomProfile(const TOptionLists &options) const
{
    const std::string value = ReadCustomProfileValue(options);
    if (value.empty())
        return;
    // Every field is checked before any list changes, so a bad field changes nothing.
    const std::optional<TProfileValue::Fields> fields = TProfileValue::Parse(value, "");
    if (fields)
        TProfileValue::Apply(*fields, options);
}

std::string TProfileFunc::AddCustomProfile(const TOptionLists &options) const
{
    const int number = NextProfileNumber();
    const std::string name = AskProfileName(kProposedNamePrefix + std::to_string(number));
    return StoreCurrentValues(name, options);
}

std::optional<std::string> TProfileFunc::SaveCustomProfile(const TOptionLists &options) const
{
    const std::string name = options.cbbCustomProfile->Text();
    if (const std::optional<std::string> problem = NameProblem(name)) {
        m_namePrompt.ShowNameProblem(*problem);
        return std::nullopt;
    }
    return StoreCurrentValues(name, options);
}

void TProfileFunc::DeleteCustomProfile(const TOptionLists &options) const
{
    if (options.cbbCustomProfile->Count() == 0)
        return;
    TIniFile32 store(m_ini.ConfigPath(kProfileStoreFile));
    store.EraseSection(TrimName(options.cbbCustomProfile->Text()));
}

std::optional<std::string> TProfileFunc::NameProblem(const std::string &name)
{
    const std::string trimmed = TrimName(name);
    if (trimmed.empty())
        return std::string("Plese input a name");
    for (char c : trimmed) {
        if (c == '=' || static_cast<unsigned char>(c) < 32)
            return "'" + trimmed + "' cannot name a profile: a name must not contain \"=\".";
    }
    return std::nullopt;
}

std::string TProfileFunc::TrimName(const std::string &name)
{
    size_t first = 0;
    size_t last = name.size();
    while (first < last && static_cast<unsigned char>(name[first]) <= 32)
        ++first;
    while (last > first && static_cast<unsigned char>(name[last - 1]) <= 32)
        --last;
    return name.substr(first, last - first);
}

std::string TProfileFunc::AskProfileName(const std::string &proposed) const
{
    // Cancel keeps the proposed name, so Add always stores a profile; an unusable name is
    // explained and asked for again.
    for (;;) {
        const std::string name = m_namePrompt.AskName(proposed).value_or(proposed);
        const std::optional<std::string> problem = NameProblem(name);
        if (!problem)
            return name;
        m_namePrompt.ShowNameProblem(*problem);
    }
}

std::string TProfileFunc::StoredSpelling(const std::string &name) const
{
    // The store finds sections regardless of letter case but keys only by exact case, so a
    // profile is always written under the spelling it is listed with.
    const std::string trimmed = TrimName(name);
    for (const std::string &stored : m_ini.ReadIniSections(kProfileStoreFile)) {
        if (SameNameIgnoringCase(stored, trimmed))
            return stored;
    }
    return trimmed;
}

std::string TProfileFunc::StoreCurrentValues(const std::string &name,
                                             const TOptionLists &options) const
{
    const std::string stored = StoredSpelling(name);
    TIniFile32 store(m_ini.ConfigPath(kProfileStoreFile));
    store.WriteString(stored, stored, TProfileValue::FromSelections(options));
    return stored;
}

int TProfileFunc::NextProfileNumber() const
{
    TIniFile32 counter(m_ini.ConfigPath(kProfileCounterFile));
    const int32_t count = counter.ReadInteger("count", "count", 0);
    const int32_t next = count == INT32_MAX ? count : count + 1;
    counter.WriteInteger("count", "count", next);
    return next;
}
