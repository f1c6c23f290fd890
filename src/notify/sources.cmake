# The text, method and colour rules are portable (tested natively); the rest is Win32.
target_sources(restwell_core PRIVATE
  src/notify/NotifyRules.cpp)
if(WIN32)
  target_sources(restwell_shell PRIVATE
    src/notify/NotificationAlert.cpp
    src/notify/NotificationAlertBase.cpp
    src/notify/NotificationIcon.cpp
    src/notify/ShellNotify.cpp
    src/notify/DlgBreakTimed.cpp)
endif()
