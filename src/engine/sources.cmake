target_sources(restwell_core PRIVATE
  src/engine/BreakTimed.cpp
  src/engine/PlannedBreakList.cpp
  src/engine/PlannedBreakTexts.cpp
  src/engine/AchievementRating.cpp
  src/engine/BreakEngine.cpp)
