#include "ui/tuning/TuningMenu.h"

#include <QMenu>
#include <QPointer>

#include "document/KorvaliserDoc.h"
#include "ui/editor/EditorContext.h"
#include "ui/graph/tuning/TuningOverlay.h"
#include "ui/tuning/TuningCommands.h"

namespace kv {

void addTuningItems(QMenu& menu, EditorContext& context, int output, std::shared_ptr<TuningOverlay> overlay,
                    QWidget* parent) {
    const QPointer<QWidget> owner(parent);
    const bool measured = overlay->hasMeasurement(context.document.currentPreset(), output);

    menu.addSeparator();
    QAction* load = menu.addAction(QStringLiteral("Load Measurement…"));
    load->setObjectName(QStringLiteral("loadMeasurement"));
    QObject::connect(load, &QAction::triggered, load, [&context, output, overlay, owner] {
        if (!TuningCommands(context, output, owner).loadMeasurement()) return;
        if (overlay->shown())
            overlay->redraw();
        else
            overlay->setShown(true);
    });

    // The fit needs a measurement to fit to. Its bands reach the page as any change of
    // the document does.
    QAction* autoEq = menu.addAction(QStringLiteral("Auto-EQ…"));
    autoEq->setObjectName(QStringLiteral("autoEq"));
    autoEq->setEnabled(measured);
    QObject::connect(autoEq, &QAction::triggered, autoEq,
                     [&context, output, owner] { TuningCommands(context, output, owner).autoEq(); });

    QAction* show = menu.addAction(QStringLiteral("Show Measurement"));
    show->setObjectName(QStringLiteral("showMeasurement"));
    show->setCheckable(true);
    show->setChecked(measured && overlay->shown());
    show->setEnabled(measured);
    QObject::connect(show, &QAction::toggled, show, [overlay](bool on) { overlay->setShown(on); });
}

}  // namespace kv
