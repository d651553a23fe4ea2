#include "gui/panels/ScopeGraphPanel.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QVBoxLayout>

#include "core/scope/ScopeMath.h"
#include "gui/common/TextConversion.h"
#include "gui/panels/ScopePlot.h"
#include "gui/popups/Help.h"
#include "gui/widgets/Indicators.h"
#include "gui/widgets/ValueRing.h"

namespace drq::gui {

namespace {

constexpr const char* kHelpGraphScope =
    "Displays record results.\nRed line is RED or X or s. \nGreen line is GREEN or Y or i. \nBlue "
    "line is BLUE or INT or M. \n\nUpdate display deltaX and deltaY by moving the cursors. \nZoom "
    "in: <Ctrl>+Left Mouse Button (drag to select).\nZoom out: Press ZOOM 1:1.";
constexpr const char* kHelpGraphDigital =
    "Displays the six digital signals of the record (BIT 0 to BIT 5).\nIts cursors follow the "
    "cursors of the graph above.";
constexpr const char* kHelpDispDeltaX =
    "Show delta X in [ms]. \nThe calculation is based on the cycle time shown\nin the display "
    "[ms] and the value of ScanRate.";
constexpr const char* kHelpDispDeltaY = "Show delta Y in [digit].";
constexpr const char* kHelpEditScopeSignal =
    "Select a signal which should be displayed in the graph.";
constexpr const char* kHelpZoom11 =
    "Zoom in: <Ctrl>+Left Mouse Button (drag to select).\nZoom out: Press ZOOM 1:1.";
constexpr const char* kHelpCloseSP = "Close PANEL and return to MAIN PANEL. ";
constexpr const char* kHelpRunning =
    "Data recording is running.\nBREAK on the scope page stops it.";
constexpr const char* kHelpSaveImage = "Save both graphs as a picture (PNG) or as a PDF document.";

// Trace colours of a capture.
const QColor kRed = rgbColor(0xFF0000);
const QColor kGreen = rgbColor(0x00FF00);
const QColor kBlue = rgbColor(0x0000FF);
const QColor kDigitalGrey = rgbColor(0x808080);
const QColor kDigitalTeal = rgbColor(0x008080);

// The digital graph's y range: the six signals between 0 and 11.
constexpr double kDigitalYMin = -0.5;
constexpr double kDigitalYMax = 11.5;

QLineEdit* newDisplay(const QString& name, const QString& accessible, QWidget* parent) {
  auto* display = new QLineEdit(parent);
  display->setObjectName(name);
  display->setAccessibleName(accessible);
  display->setReadOnly(true);
  display->setAlignment(Qt::AlignRight);
  display->setFocusPolicy(Qt::TabFocus);
  // Wide enough for "0.000000"; longer values scroll.
  display->setFixedWidth(display->fontMetrics().horizontalAdvance(QStringLiteral("0.000000")) + 10);
  return display;
}

}  // namespace

ScopeGraphPanel::ScopeGraphPanel(ShellContext& context, QWidget* parent)
    : ChildPanelWidget(context, QStringLiteral("SCOPEP"), parent),
      analogue_(nullptr),
      digital_(nullptr),
      graphArea_(new QWidget(this)) {
  Popups& popups = context.popups;

  graphArea_->setObjectName(QStringLiteral("ScopeGraphArea"));
  graphArea_->setAutoFillBackground(true);
  graphArea_->setBackgroundRole(QPalette::Base);
  analogue_ = new ScopePlot(ScopePlot::Kind::Analogue, graphArea_);
  analogue_->setObjectName(QStringLiteral("GraphScope"));
  analogue_->setAccessibleName(QStringLiteral("Scope graph"));
  analogue_->xAxis->setLabel(QStringLiteral("SAMPLES"));
  installHelp(analogue_, popups, QString::fromLatin1(kHelpGraphScope));
  connect(analogue_, &ScopePlot::cursorMoved, this, &ScopeGraphPanel::cursorsChanged);
  connect(analogue_, &ScopePlot::zoomed, this, &ScopeGraphPanel::cursorsChanged);

  digital_ = new ScopePlot(ScopePlot::Kind::Digital, graphArea_);
  digital_->setObjectName(QStringLiteral("GraphScopeDigital"));
  digital_->setAccessibleName(QStringLiteral("Digital signals"));
  digital_->setAxes(kScopeXMaximum, kDigitalYMin, kDigitalYMax);
  auto ticker = QSharedPointer<QCPAxisTickerText>::create();
  for (std::size_t bit = 0; bit < kScopeDigitalSignals; ++bit) {
    ticker->addTick(kScopeDigitalOffsets[bit] + 0.5, QString::fromLatin1(kScopeDigitalNames[bit]));
  }
  digital_->yAxis->setTicker(ticker);
  digital_->yAxis->grid()->setVisible(false);
  installHelp(digital_, popups, QString::fromLatin1(kHelpGraphDigital));

  auto* graphs = new QVBoxLayout(graphArea_);
  graphs->setContentsMargins(0, 0, 0, 0);
  graphs->setSpacing(2);
  graphs->addWidget(analogue_, 3);
  graphs->addWidget(digital_, 2);

  // The controls below the graphs, created row by row as they are read (Tab
  // follows creation).
  deltaX_ = newDisplay(QStringLiteral("DispDeltaX"), QStringLiteral("DELTA X [ms]"), this);
  installHelp(deltaX_, popups, QString::fromLatin1(kHelpDispDeltaX));

  zoom11_ = new QPushButton(QStringLiteral("ZOOM 1:1"), this);
  zoom11_->setObjectName(QStringLiteral("ButtonZoom11"));
  installHelp(zoom11_, popups, QString::fromLatin1(kHelpZoom11));
  connect(zoom11_, &QPushButton::clicked, this, &ScopeGraphPanel::CBF_ButtonZoom11);

  deltaY_ = newDisplay(QStringLiteral("DispDeltaY"), QStringLiteral("DELTA Y [digit]"), this);
  installHelp(deltaY_, popups, QString::fromLatin1(kHelpDispDeltaY));

  saveImage_ = new QPushButton(QStringLiteral("SAVE IMAGE"), this);
  saveImage_->setObjectName(QStringLiteral("ButtonSaveScopeImage"));
  installHelp(saveImage_, popups, QString::fromLatin1(kHelpSaveImage));
  connect(saveImage_, &QPushButton::clicked, this, &ScopeGraphPanel::CBF_ButtonSaveScopeImage);

  running_ = new Led(QStringLiteral("RECORDING"), QColor(0xE0, 0x20, 0x20), this);
  running_->setObjectName(QStringLiteral("LedScopeRunning"));
  running_->setAccessibleName(QStringLiteral("RECORDING"));
  running_->setLit(true);
  installHelp(running_, popups, QString::fromLatin1(kHelpRunning));
  running_->setVisible(false);

  close_ = new QPushButton(QStringLiteral("CLOSE"), this);
  close_->setObjectName(QStringLiteral("ButtonCloseSP"));
  installHelp(close_, popups, QString::fromLatin1(kHelpCloseSP));
  connect(close_, &QPushButton::clicked, this, &ScopeGraphPanel::CBF_ButtonCloseSP);

  signalRing_ = new ValueRing(this);
  signalRing_->setObjectName(QStringLiteral("EditScopeSignal"));
  signalRing_->setAccessibleName(QStringLiteral("SIGNAL"));
  signalRing_->setItems({{QStringLiteral("ALL"), 0},
                         {QStringLiteral("RED"), 1},
                         {QStringLiteral("GREEN"), 2},
                         {QStringLiteral("BLUE"), 3}});
  installHelp(signalRing_, popups, QString::fromLatin1(kHelpEditScopeSignal));
  connect(signalRing_, &ValueRing::valueCommitted, this, &ScopeGraphPanel::CBF_EditScopeSignal);

  // Compact rows, so that the panel fits the display area of the default window.
  auto* controls = new QGridLayout();
  controls->setHorizontalSpacing(2);
  controls->setVerticalSpacing(3);
  const auto label = [this](const QString& text, QWidget* control) {
    auto* l = new QLabel(text, this);
    l->setBuddy(control);
    return l;
  };
  controls->addWidget(label(QStringLiteral("DELTA X [ms]"), deltaX_), 0, 0);
  controls->addWidget(deltaX_, 0, 1);
  controls->addWidget(zoom11_, 0, 3);
  controls->addWidget(label(QStringLiteral("DELTA Y"), deltaY_), 1, 0);
  controls->addWidget(deltaY_, 1, 1);
  controls->addWidget(saveImage_, 1, 3);
  controls->addWidget(running_, 2, 0, 1, 2);
  controls->addWidget(close_, 2, 3);
  controls->addWidget(label(QStringLiteral("SIGNAL"), signalRing_), 3, 0);
  controls->addWidget(signalRing_, 3, 1, 1, 3, Qt::AlignLeft);
  controls->setColumnStretch(2, 1);

  panelLayout()->setSpacing(4);
  panelLayout()->addWidget(graphArea_, 1);
  panelLayout()->addLayout(controls);
  showDeltas(QStringLiteral("0.000000"), QStringLiteral("0"));
}

void ScopeGraphPanel::drawCapture(const ScopeTraces& traces) {
  analogue_->clearTraces();
  analogue_->addTrace(traces[kScopeRed], kRed);
  analogue_->addTrace(traces[kScopeGreen], kGreen);
  analogue_->addTrace(traces[kScopeBlue], kBlue);
  digital_->clearTraces();
  const auto digital = digitalTraces(traces[kScopeStates]);
  for (std::size_t bit = 0; bit < kScopeDigitalSignals; ++bit) {
    digital_->addTrace(digital[bit], bit == 5 ? kDigitalTeal : kDigitalGrey);
  }
}

void ScopeGraphPanel::drawAnalogueTraces(const ScopeTraces& traces) {
  const std::uint16_t shown = signalRing_->value();
  analogue_->clearTraces();
  if (shown == 0 || shown == 1) analogue_->addTrace(traces[kScopeRed], kRed);
  if (shown == 0 || shown == 2) analogue_->addTrace(traces[kScopeGreen], kGreen);
  if (shown == 0 || shown == 3) analogue_->addTrace(traces[kScopeBlue], kBlue);
}

void ScopeGraphPanel::setAnalogueAxes(double yMax) {
  analogue_->setAxes(kScopeXMaximum, 0, yMax);
}

void ScopeGraphPanel::moveDigitalCursors(double x1, double x2) {
  digital_->setCursor(0, {x1, 0});
  digital_->setCursor(1, {x2, 0});
}

void ScopeGraphPanel::showDeltas(const QString& deltaX, const QString& deltaY) {
  deltaX_->setText(deltaX);
  deltaY_->setText(deltaY);
}

void ScopeGraphPanel::setCaptureRunning(bool running) {
  running_->setVisible(running);
}

bool ScopeGraphPanel::captureRunningShown() const {
  return !running_->isHidden();
}

void ScopeGraphPanel::CBF_ButtonZoom11() {
  emit zoom11Requested();
}

void ScopeGraphPanel::CBF_ButtonCloseSP() {
  emit closeRequested();
}

void ScopeGraphPanel::CBF_EditScopeSignal() {
  drawAnalogueTraces(context().session.scope.traces);
}

bool ScopeGraphPanel::saveGraphImage(const QString& file) {
  analogue_->replot();
  digital_->replot();
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) return false;
  bool written = false;
  if (QFileInfo(file).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) == 0) {
    // Vectors: the traces, cursors and labels stay sharp at any zoom.
    QPdfWriter pdf(&out);
    const QSize size = graphArea_->size();
    constexpr int kResolution = 96;
    pdf.setResolution(kResolution);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setPageSize(
        QPageSize(QSizeF(size.width() * 72.0 / kResolution, size.height() * 72.0 / kResolution),
                  QPageSize::Point, QString(), QPageSize::ExactMatch));
    pdf.setTitle(QStringLiteral("Scope graphs"));
    QCPPainter painter;
    if (painter.begin(&pdf)) {
      painter.setMode(QCPPainter::pmVectorized);
      painter.setMode(QCPPainter::pmNoCaching);
      painter.fillRect(QRect(QPoint(0, 0), size), graphArea_->palette().color(QPalette::Base));
      for (ScopePlot* plot : {analogue_, digital_}) {
        painter.save();
        painter.translate(plot->geometry().topLeft());
        plot->toPainter(&painter, plot->width(), plot->height());
        painter.restore();
      }
      written = painter.end();
    }
  } else {
    written = graphArea_->grab().toImage().save(&out, "PNG");
  }
  if (!written) {
    out.cancelWriting();
    return false;
  }
  return out.commit();
}

void ScopeGraphPanel::CBF_ButtonSaveScopeImage() {
  FileSelectRequest request;
  request.directory = qStringFromPath(context().session.programDir);
  request.defaultName = QStringLiteral("ScopeGraph.png");
  request.filter = QStringLiteral("Images (*.png *.pdf)");
  request.title = QStringLiteral("Save scope graphs");
  const FileSelection chosen = context().popups.FileSelectPopup(request);
  if (chosen.result == 0 || chosen.path.isEmpty()) return;
  if (!saveGraphImage(chosen.path)) {
    context().popups.MessagePopup(QString::fromLatin1(kTitleAttention),
                                  QStringLiteral("COULD NOT SAVE THE GRAPHS TO\n") + chosen.path);
  }
}

}  // namespace drq::gui
