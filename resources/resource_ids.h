// Every id and name the launcher's resources and its code share, named once.
// The ids are plain macros, so that the resource compiler reads them as well
// as C++; nothing here needs <windows.h>.
#ifndef ZTK_RESOURCES_RESOURCE_IDS_H
#define ZTK_RESOURCES_RESOURCE_IDS_H

// The string table.
#define IDS_INSTALLER_NAME 5101   // the partner installer's file name, beside the launcher
#define IDS_FIRST_USE_URL 5102    // opened after the information when it is a web address
#define IDS_INFO_TEXT_FIRST 5103  // the information text: 5103 to 5106, joined
#define IDS_INFO_TEXT_2 5104
#define IDS_INFO_TEXT_3 5105
#define IDS_INFO_TEXT_LAST 5106

// Controls of the offer dialog "LAUNCHDLG".
#define IDC_INSTALL_BOX 5101
#define IDC_PRIVACY_LINK 5102
#define IDC_LICENSE_LINK 5103

// Controls of the information dialog "INFODLG".
#define IDC_INFO_TEXT 5101

// A control that is never addressed.
#define IDC_UNADDRESSED (-1)

#if defined(__cplusplus) && !defined(RC_INVOKED)
// The named resources, as the .rc files spell them. A dialog's template name
// is also the context of its texts' keys in a catalog.
inline constexpr char16_t kOfferDialogName[] = u"LAUNCHDLG";
inline constexpr char16_t kInfoDialogName[] = u"INFODLG";
// The logos' bitmaps at other scales add "_150" and so on to the name.
inline constexpr char16_t kOfferLogoName[] = u"LOGO";
inline constexpr char16_t kInfoLogoName[] = u"LOGOSMALL";
inline constexpr char16_t kLauncherIconName[] = u"ZTKICON";
#endif

#endif  // ZTK_RESOURCES_RESOURCE_IDS_H
