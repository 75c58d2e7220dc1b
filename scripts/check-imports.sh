#!/usr/bin/env bash
# Checks that Windows binaries load on Windows 7 SP1 as it ships: check-imports.sh FILE...
# Each file may import only libraries that Windows 7 has (no MinGW runtime DLL, no
# api-ms-win-* API set) and none of the functions that came with Windows 8 or later,
# and must not ask for a newer subsystem version than Windows 7's (6.1). Prints one line
# per file ("ok FILE" or "FAIL FILE: reasons") and exits non-zero when any file fails.
# Reads PE32 and PE32+ alike through objdump.
set -uo pipefail
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}

# Libraries of a Windows 7 SP1 installation that a desktop program or add-on may use.
windows7_dlls=(
  advapi32 bcrypt comctl32 comdlg32 crypt32 d2d1 d3d9 d3d10 d3d10_1 d3d11 dbghelp
  dnsapi dwmapi dwrite dxgi gdi32 gdiplus hid iertutil imagehlp imm32 iphlpapi kernel32
  mlang mpr msi msimg32 msvcrt mshtml netapi32 ntdll ole32 oleacc oleaut32 olepro32
  opengl32 powrprof propsys psapi rpcrt4 secur32 setupapi shell32 shlwapi urlmon
  user32 userenv usp10 uxtheme version windowscodecs winhttp wininet winmm winspool
  wintrust ws2_32 wtsapi32
)

# Functions of Windows 7's own libraries that only Windows 8 and later export; newer C
# and C++ runtimes reach for several of them.
windows8_functions=(
  # kernel32
  AddDllDirectory RemoveDllDirectory SetDefaultDllDirectories
  GetSystemTimePreciseAsFileTime QueryUnbiasedInterruptTimePrecise QueryInterruptTime
  QueryInterruptTimePrecise
  SetThreadDescription GetThreadDescription SetThreadInformation GetThreadInformation
  SetProcessInformation GetProcessInformation GetCurrentThreadStackLimits
  CreateFile2 CopyFile2 GetOverlappedResultEx PrefetchVirtualMemory
  DiscardVirtualMemory OfferVirtualMemory ReclaimVirtualMemory
  VirtualAlloc2 VirtualAllocFromApp MapViewOfFile3 MapViewOfFileFromApp
  CreateFileMappingFromApp CreateFileMapping2
  WaitOnAddress WakeByAddressSingle WakeByAddressAll
  InitializeSynchronizationBarrier EnterSynchronizationBarrier DeleteSynchronizationBarrier
  GetFirmwareType GetProcessMitigationPolicy SetProcessMitigationPolicy
  GetCurrentPackageId GetCurrentPackageFullName GetCurrentPackageFamilyName
  GetPackageFamilyName GetAppContainerNamedObjectPath
  GetSystemCpuSetInformation GetProcessDefaultCpuSets SetProcessDefaultCpuSets
  GetThreadSelectedCpuSets SetThreadSelectedCpuSets
  CreatePseudoConsole ResizePseudoConsole ClosePseudoConsole
  IsWow64Process2 GetOsSafeBootMode SetProcessValidCallTargets
  # user32
  GetDpiForWindow GetDpiForSystem GetSystemMetricsForDpi SystemParametersInfoForDpi
  AdjustWindowRectExForDpi EnableNonClientDpiScaling SetProcessDpiAwarenessContext
  SetThreadDpiAwarenessContext GetThreadDpiAwarenessContext GetWindowDpiAwarenessContext
  GetAwarenessFromDpiAwarenessContext AreDpiAwarenessContextsEqual
  IsValidDpiAwarenessContext GetDialogDpiChangeBehavior SetDialogDpiChangeBehavior
  LogicalToPhysicalPointForPerMonitorDPI PhysicalToLogicalPointForPerMonitorDPI
  GetPointerInfo GetPointerType GetPointerTouchInfo GetPointerFrameTouchInfo
  GetPointerPenInfo GetPointerDevices GetPointerDevice EnableMouseInPointer
  IsMouseInPointerEnabled RegisterPointerInputTarget InitializeTouchInjection
  InjectTouchInput RegisterTouchHitTestingWindow EvaluateProximityToRect
  GetWindowFeedbackSetting SetWindowFeedbackSetting GetCurrentInputMessageSource
  GetCIMSSM SetDisplayAutoRotationPreferences GetDisplayAutoRotationPreferences
  IsImmersiveProcess
  # ole32
  CoIncrementMTAUsage CoDecrementMTAUsage
)

# check FILE: prints the reasons FILE would not load on Windows 7, one a line.
check() {
  local dump
  if ! dump=$("$objdump" -p "$1" 2>&1); then
    echo "objdump cannot read it: $dump"
    return
  fi
  awk -v allowed=" ${windows7_dlls[*]} " -v denied=" ${windows8_functions[*]} " '
    /^MajorSubsystemVersion/ { major = $2 }
    /^MinorSubsystemVersion/ { minor = $2 }
    /^Entry 1 / && $3 !~ /^0+$/ { has_imports = 1 }
    /^Entry d / && $3 !~ /^0+$/ {
      print "has delay imports, which objdump does not list: cannot check them"
    }
    /^The Import Tables/ { in_imports = 1; next }
    /^The [A-Z]/ { in_imports = 0; dll = "" }
    in_imports && /^\tDLL Name: / {
      dll = tolower($3)
      dlls++
      name = dll; sub(/\.dll$/, "", name)
      if (name ~ /^(api|ext)-ms-win-/) print "imports the API set " dll
      else if (index(allowed, " " name " ") == 0) print "imports " dll ", which Windows 7 does not have"
      next
    }
    in_imports && dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ {
      if (index(denied, " " $3 " ") > 0) print "imports " $3 " from " dll ", which Windows 7 does not have"
    }
    END {
      if (major == "") print "no PE header found"
      else if (major > 6 || (major == 6 && minor > 1))
        print "asks for subsystem version " major "." minor ", newer than Windows 7 (6.1)"
      if (has_imports && dlls == 0) print "has an import table that objdump did not list: cannot check it"
    }' <<<"$dump"
}

[ $# -gt 0 ] || { echo "usage: $0 FILE..." >&2; exit 2; }
status=0
for file in "$@"; do
  reasons=$(check "$file")
  if [ -z "$reasons" ]; then
    echo "ok $file"
  else
    echo "FAIL $file:"
    sed 's/^/  /' <<<"$reasons"
    status=1
  fi
done
exit $status
