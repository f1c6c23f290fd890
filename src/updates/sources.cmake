target_sources(restwell_core PRIVATE
  src/updates/ThreadScheduledEventsManager.cpp
  src/updates/ThreadScheduledEvents.cpp
  src/updates/NewsNavigation.cpp
  src/updates/UpdateFile.cpp
  src/updates/UpdateSignature.cpp
  src/updates/UpgradeCheck.cpp
  src/updates/NewsPopup.cpp)
