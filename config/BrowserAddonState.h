#pragma once
// Whether Internet Explorer keeps the installed add-on from loading, and why: the
// user turned it off (Manage Add-ons, or "Don't enable" when the browser asked), or a
// policy denies it, by the Add-on List or by allowing only the add-ons on that list.
// With it off the add-on does nothing, whatever the Enable checkbox shows, so the dialog
// says so in a line under that checkbox.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What one registry view holds for the add-on's class id, read as the browser reads it.
struct BrowserAddonFacts {
    // The Add-on List policy's text for the class (Policies\Ext\CLSID), the user's and
    // the machine's: "0" denies the add-on, "1" allows it, "2" allows it and leaves it to
    // the user. Anything but text counts as absent, as it does for the browser.
    std::optional<std::string> userListValue;
    std::optional<std::string> machineListValue;
    // "Deny all add-ons unless specifically allowed in the Add-on List" (Policies\Ext,
    // RestrictToList), the user's and the machine's.
    std::optional<std::uint32_t> userRestrictToList;
    std::optional<std::uint32_t> machineRestrictToList;
    // The user's own setting (Ext\Settings\{class}, Flags).
    std::optional<std::uint32_t> userSettingsFlags;
};

// The bit of the user's Flags that Manage Add-ons sets for an add-on turned off.
inline constexpr std::uint32_t kAddonTurnedOffFlag = 0x1;

enum class AddonOff { No, ByUser, ByPolicy, NotOnPolicyList };

AddonOff WhyBrowserKeepsAddonOff(const BrowserAddonFacts& facts);
// Each browser reads its own view (64-bit Windows has two): the first that keeps it off.
AddonOff WhyBrowserKeepsAddonOff(const std::vector<BrowserAddonFacts>& views);
// The string the dialog shows for it; 0 for none.
int AddonOffLine(AddonOff why);
