#include "support/DefaultSettings.h"

#include "core/SettingsModel.h"

ExerciseSettings zrvtest::DefaultSettings(int exercise)
{
    SettingsModel model;
    model.list() = SettingsList::defaults();
    model.show();
    model.selectExercise(exercise);
    return model.runSettings();
}
