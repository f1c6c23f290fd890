target_sources(restwell_core PRIVATE
  src/app/ResourceString.cpp
  src/app/StartupLogic.cpp)
if(WIN32)
  target_sources(restwell_shell PRIVATE
    src/app/RestwellApp.cpp)
endif()
