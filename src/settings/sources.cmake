target_sources(restwell_core PRIVATE
  src/settings/SettingsStore.cpp
  src/settings/SettingsCatalog.cpp
  src/settings/BreakChoice.cpp
  src/settings/AppSettings.cpp
  src/settings/StartupLogic.cpp
  src/settings/UnsavedSettings.cpp)
