#include "support/DefaultSettings.h"

#include "core/SettingsModel.h"

ExerciseSettings zrvtest::DefaultSettings(int exercise)
{
    SettingsModel model;
    model.List() = SettingsList::Defaults();
    model.Show();
    model.SelectExercise(exercise);
    return model.RunSettings();
}
