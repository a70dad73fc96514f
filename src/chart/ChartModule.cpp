// The module that draws the journal's charts with Qt Charts (loaded by gui/RunChart).
#include "chart/JournalChart.h"

#include <QObject>

class ChartModule : public QObject, public RunChartFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ZRV_RUN_CHART_FACTORY_IID)
    Q_INTERFACES(RunChartFactory)

  public:
    RunChart* createChart(bool compact, QWidget* parent) override
    {
        return new JournalChart(compact, parent);
    }
};

#include "ChartModule.moc"
