#include "BrowserAddonState.h"

#include "ResourceIds.h"

AddonOff WhyBrowserKeepsAddonOff(const BrowserAddonFacts& facts) {
    // The user's policy comes before the machine's, as the browser looks them up.
    const std::optional<std::string>& listed = facts.userListValue ? facts.userListValue : facts.machineListValue;
    if (listed == "0") return AddonOff::ByPolicy;
    // Allowed by policy: the user cannot turn it off, so the user's setting no longer counts.
    if (listed == "1") return AddonOff::No;
    bool onlyListed = facts.userRestrictToList.value_or(0) != 0 || facts.machineRestrictToList.value_or(0) != 0;
    if (onlyListed && listed != "2") return AddonOff::NotOnPolicyList;
    if (facts.userSettingsFlags.value_or(0) & kAddonTurnedOffFlag) return AddonOff::ByUser;
    return AddonOff::No;
}

AddonOff WhyBrowserKeepsAddonOff(const std::vector<BrowserAddonFacts>& views) {
    for (const BrowserAddonFacts& view : views) {
        AddonOff why = WhyBrowserKeepsAddonOff(view);
        if (why != AddonOff::No) return why;
    }
    return AddonOff::No;
}

int AddonOffLine(AddonOff why) {
    switch (why) {
        case AddonOff::ByUser: return IDS_ADDON_OFF_BY_USER;
        case AddonOff::ByPolicy: return IDS_ADDON_OFF_BY_POLICY;
        case AddonOff::NotOnPolicyList: return IDS_ADDON_NOT_ON_POLICY_LIST;
        default: return 0;
    }
}
