#include "EventSinkDecisions.h"

using namespace sinkevent;

bool IsWindowStateIntegerType(std::uint16_t type) {
    return type == kTypeI4 || type == kTypeUI4 || type == kTypeInt || type == kTypeUInt;
}

bool IsDispatchArgumentType(std::uint16_t type) {
    return type == kTypeDispatch || type == (kTypeByRef | kTypeDispatch);
}

SinkAction DecideSinkAction(std::int32_t dispId, std::uint32_t argumentCount, std::uint16_t type0,
                            std::uint16_t type1) {
    if (argumentCount < 2) return SinkAction::Nothing;
    switch (dispId) {
        case kWindowStateChanged:
            return IsWindowStateIntegerType(type0) && IsWindowStateIntegerType(type1) ? SinkAction::ReadWindowState
                                                                                      : SinkAction::Nothing;
        case kDocumentComplete:
            return IsDispatchArgumentType(type1) ? SinkAction::CompareDocument : SinkAction::Nothing;
        default:
            return SinkAction::Nothing;
    }
}
