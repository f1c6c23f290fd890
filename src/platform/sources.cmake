if(WIN32)
  target_sources(restwell_win32 PRIVATE
    src/platform/win32/ClockWin32.cpp
    src/platform/win32/HttpWinInet.cpp
    src/platform/win32/MachineMarkerWin32.cpp
    src/platform/win32/LocaleWin32.cpp
    src/platform/win32/RegistryWin32.cpp
    src/platform/win32/SignatureVerifierCng.cpp
    src/platform/win32/StringsWin32.cpp
    src/platform/win32/ThreadStack.cpp
    src/platform/win32/WebLauncherWin32.cpp)
else()
  target_sources(restwell_native PRIVATE
    src/platform/native/StringsNative.cpp)
endif()
target_sources(restwell_core PRIVATE
  src/platform/Registry.cpp)
