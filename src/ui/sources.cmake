if(WIN32)
  target_sources(restwell_shell PRIVATE
    src/ui/main/DlgMain.cpp
    src/ui/main/DlgMainCommands.cpp
    src/ui/main/DlgMainHost.cpp
    src/ui/main/DlgMainUpdates.cpp
    src/ui/wizard/WelcomeWizard.cpp
    src/ui/wizard/WizardBreaks.cpp)
endif()
