target_sources(restwell_core PRIVATE
  src/settings/SettingsStore.cpp
  src/settings/SettingsCatalog.cpp
  src/settings/AppSettings.cpp)
