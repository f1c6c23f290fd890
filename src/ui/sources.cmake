# The windows. The notification rules (text, method, colour) are portable and tested natively.
target_sources(restwell_core PRIVATE
  src/ui/notify/NotifyRules.cpp)
if(WIN32)
  target_sources(restwell_shell PRIVATE
    src/ui/about/About.cpp
    src/ui/main/Main.cpp
    src/ui/main/MainCommands.cpp
    src/ui/main/MainView.cpp
    src/ui/main/HealthTips.cpp
    src/ui/main/TrayPresenter.cpp
    src/ui/main/UpdateNotices.cpp
    src/ui/news/Explorer.cpp
    src/ui/news/WebBrowser.cpp
    src/ui/notify/NotificationAlert.cpp
    src/ui/notify/NotificationAlertBase.cpp
    src/ui/notify/NotificationIcon.cpp
    src/ui/notify/ShellNotify.cpp
    src/ui/options/OptionsPage.cpp
    src/ui/options/OptGeneral.cpp
    src/ui/options/OptCommercial.cpp
    src/ui/options/OptCompatibility.cpp
    src/ui/shared/AchievementBar.cpp
    src/ui/shared/AppShared.cpp
    src/ui/shared/SharedImages.cpp
    src/ui/shared/WindowServices.cpp
    src/ui/wizard/BreakTimedEditor.cpp
    src/ui/wizard/WelcomeWizard.cpp
    src/ui/wizard/WizardBreaks.cpp)
endif()
