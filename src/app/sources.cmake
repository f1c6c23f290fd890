target_sources(restwell_core PRIVATE
  src/app/StartupLogic.cpp
  src/app/WebAddress.cpp)
if(WIN32)
  target_sources(restwell_shell PRIVATE
    src/app/AboutDlg.cpp
    src/app/AchievementBar.cpp
    src/app/RestwellApp.cpp
    src/app/SharedImages.cpp)
endif()
