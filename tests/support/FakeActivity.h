#pragma once

#include "timer/ActivitySource.h"

// The application's activity as the test sets it; reports only real changes, as the
// application does.
class FakeActivity : public ActivitySource
{
  public:
    explicit FakeActivity(bool active = true) : m_active(active) {}

    bool isActive() const override { return m_active; }
    void SetActive(bool active)
    {
        if (active == m_active)
            return;
        m_active = active;
        emit activeChanged(active);
    }

  private:
    bool m_active;
};
