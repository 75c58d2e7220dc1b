#pragma once
// What the preview control's security manager decides. Inside the browser's process
// Local Machine Zone Lockdown keeps script from running in pages of the local disk, and
// the preview page (Template.html in the program folder) is one: the manager lifts that
// for the template page alone and leaves every other page and action to the browser.
#include <cstdint>
#include <string>

// The URL actions of urlmon.h that the decisions name (a Windows test checks the values).
inline constexpr std::uint32_t kUrlActionScriptRun = 0x1400;  // URLACTION_SCRIPT_RUN

// Whether url names the template page at templatePath (a plain path, "C:\...\Template.html").
// The control reports the page as a file URL ("file:///C:/Program%20Files/...",
// "file://C:\Program Files\...") or as the plain path: any of these, in any case of ASCII
// letters, with forward or back slashes, and with a query or fragment after the file's
// name, names it. Anything else does not: another file, a path that only begins like the
// template's, another scheme, a URL whose escapes spell a different name. Paths are not
// resolved ("..", doubled separators, short names): such a spelling is simply not the
// template, so the answer errs on the side of the browser's own rules.
bool NamesTemplatePage(const std::wstring& url, const std::wstring& templatePath);

// Whether the manager allows action for url: only the template page's own actions are
// allowed (see TemplatePageActions); for anything else the browser's manager decides.
bool AllowsTemplateAction(const std::wstring& url, std::uint32_t action, const std::wstring& templatePath);

// The actions the template page is allowed. Of the actions that Local Machine Zone
// Lockdown makes stricter (ActiveX run and its safety override, binary behaviours, client
// certificate prompts, unsigned ActiveX download, Java permissions, script run), the page
// needs only script run: change_div and load_image, and the add-on's execScript calls. Its
// picture is an <img> of a file: URL in the same zone as the page, which no lockdown
// action governs, so nothing more is allowed.
inline constexpr std::uint32_t kTemplatePageActions[] = {kUrlActionScriptRun};
