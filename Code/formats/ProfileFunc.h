#pragma once

#include "formats/Catalogue.h"
#include "formats/ProfileControls.h"
#include "formats/ProfileIni.h"
#include "formats/ProfileNamePrompt.h"

#include <optional>
#include <string>

// The profile operations of the custom-procedure service object: filling the lists from the
// catalogue and the profile store, applying built-in and custom profiles, and adding, saving and
// deleting custom profiles in Config/UserProfileInfo.ini (Config/UserProfileCount.ini counts the
// Adds and only serves to propose names).
//
// The operations act on the controls handed to them and read the files anew every time; they
// keep no state of their own. Errors of the settings files (EFCreateError "Cannot create file
// ...", EFOpenError) and of hand-edited profile fields (EConvertError "'x' is not a valid integer
// value") are thrown to the caller; the application's standard error display shows them.
//
// Start-up wiring: when the main window is first shown, call FillAllCombos once, then
// ApplyProfile. Call ApplyProfile again whenever the user picks an output type or a profile in
// the main window (the "activated" signal of the two lists, not programmatic changes).
class TProfileFunc
{
public:
    // `programFolder` ends with "/"; the Config folder lies inside it and is never created.
    TProfileFunc(const std::string &programFolder, TProfileNamePrompt &namePrompt);

    const TProfileIni &ProfileIni() const { return m_ini; }

    // Appends every row of a choice table but its default row, then selects the default.
    void FillChoiceCombo(TChoiceList &list, TCatalogueTable table) const;
    // Fills the main window's output-type and profile lists and every list of the Options
    // dialog, each with its default selection; the custom profile list gets the stored names
    // and no selection. Applies nothing.
    void FillAllCombos(const TMainProfileControls &main, const TOptionLists &options) const;
    // Appends the five built-in names and the stored names; selects "Normal Quality".
    void FillProfileCombo(TChoiceList &cbbProfile) const;
    // Replaces the entries by the stored names in store order. A selected profile that is still
    // stored stays selected; otherwise the shown text stays, with no entry selected.
    void FillCustomProfileCombo(TChoiceList &cbbCustomProfile) const;
    // Brings the main window's profile list in step with the store after a change of the store:
    // the same built-in position, or the same custom profile at its new position, or "Normal
    // Quality" when that profile is gone. Applies nothing.
    void KeepProfileComboInStep(TChoiceList &cbbProfile) const;

    // Applies the profile selected in the main window: a custom one through the custom profile
    // list, a built-in one from the preset table of the selected output type (AMR disables the
    // profile list and the Options button, the other types enable them).
    void ApplyProfile(const TMainProfileControls &main, const TOptionLists &options) const;
    // The stored value string of the custom profile selected in the Options dialog.
    std::string ReadCustomProfileValue(const TOptionLists &options) const;
    // Applies the custom profile selected in the Options dialog; nothing when none is selected
    // or its stored value is not six fields.
    void ApplyCustomProfile(const TOptionLists &options) const;

    // Counts the Add, asks for a name (proposing UserProfileInfo<n>) and stores the current
    // values under it. Returns the name the profile is stored under.
    std::string AddCustomProfile(const TOptionLists &options) const;
    // Stores the current values under the name shown in the custom profile list. nullopt when
    // that name cannot be used (the user has been told why).
    std::optional<std::string> SaveCustomProfile(const TOptionLists &options) const;
    // Erases the profile named in the custom profile list; nothing when the list is empty.
    void DeleteCustomProfile(const TOptionLists &options) const;

    // Why `name` cannot name a profile, or nullopt when it can.
    static std::optional<std::string> NameProblem(const std::string &name);
    // `name` without blanks and control characters at either end.
    static std::string TrimName(const std::string &name);

private:
    std::string AskProfileName(const std::string &proposed) const;
    std::string StoredSpelling(const std::string &name) const;
    std::string StoreCurrentValues(const std::string &name, const TOptionLists &options) const;
    int NextProfileNumber() const;

    TProfileIni m_ini;
    TProfileNamePrompt &m_namePrompt;
};
