if(WIN32)
  target_sources(restwell_shell PRIVATE
    src/ui/main/DlgMain.cpp
    src/ui/wizard/WelcomeWizard.cpp)
endif()
