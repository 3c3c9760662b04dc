#include "core/safety/safety_verdict.h"

namespace purvex::core {

std::wstring_view SafetyVerdictName(SafetyVerdict verdict) {
    switch (verdict) {
        case SafetyVerdict::Allow:
            return L"Allow";
        case SafetyVerdict::DenyEmpty:
            return L"DenyEmpty";
        case SafetyVerdict::DenyOutsideRoot:
            return L"DenyOutsideRoot";
        case SafetyVerdict::DenyProtected:
            return L"DenyProtected";
        case SafetyVerdict::DenyCritical:
            return L"DenyCritical";
        case SafetyVerdict::DenyReparse:
            return L"DenyReparse";
        case SafetyVerdict::DenyUserExcluded:
            return L"DenyUserExcluded";
    }
    return L"Unknown";
}

}  // namespace purvex::core
