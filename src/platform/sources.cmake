target_sources(restwell_core PRIVATE
  src/platform/Registry.cpp)
if(WIN32)
  target_sources(restwell_core PRIVATE
    src/platform/win32/RegistryWin32.cpp
    src/platform/win32/StringsWin32.cpp)
else()
  target_sources(restwell_core PRIVATE
    src/platform/native/StringsNative.cpp)
endif()
if(WIN32)
  target_sources(restwell_shell PRIVATE
    src/platform/win32/ClockWin32.cpp
    src/platform/win32/LocaleWin32.cpp)
endif()
