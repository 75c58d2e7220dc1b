#include "LanguageTable.h"

const char* LanguageLibraryForLcid(std::uint32_t lcid) {
    switch (lcid) {
        case 0x0404:  // Taiwan
        case 0x0C04:  // Hong Kong SAR
        case 0x1004:  // Singapore reads the traditional texts too
            return kTraditionalChineseLibrary;
        case 0x0804:  // PRC
            return kSimplifiedChineseLibrary;
        default:
            return nullptr;
    }
}
