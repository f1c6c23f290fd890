target_sources(restwell_core PRIVATE
  src/app/ResourceString.cpp)
target_sources(restwell_core PRIVATE
  src/app/WebAddress.cpp)
if(WIN32)
  target_sources(restwell_shell PRIVATE
    src/app/WebLauncherWin32.cpp)
endif()
