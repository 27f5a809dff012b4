#include "gauge/datalogpanel.h"

#include "comm/datalog.h"
#include "comm/datalogrecorder.h"
#include "comm/logreplayer.h"
#include "gauge/stripchart.h"
#include "profile/profilefolder.h"

#include <QAction>
#include <QBoxLayout>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QToolButton>

#include <limits>

QString formatLogTime(qint64 ms)
{
    const qint64 s = qMax(Q_INT64_C(0), ms) / 1000;
    const QLatin1Char zero('0');
    if (s >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(s / 3600)
            .arg(s / 60 % 60, 2, 10, zero)
            .arg(s % 60, 2, 10, zero);
    return QStringLiteral("%1:%2").arg(s / 60, 2, 10, zero).arg(s % 60, 2, 10, zero);
}

CDataLogDock::CDataLogDock(QWidget *parent)
    : QDockWidget(parent)
    , m_recorder(new CDataLogRecorder(this))
    , m_replayer(new CLogReplayer(this))
    , m_elapsedTimer(this)
{
    setObjectName(QStringLiteral("dockRegistrazione"));

    auto *body = new QWidget(this);
    m_chart = new CStripChart(body);

    m_recordAction = new QAction(this);
    m_recordAction->setObjectName(QStringLiteral("actionRegistra_Log"));
    m_recordAction->setCheckable(true);
    m_recordAction->setShortcut(QKeySequence(Qt::Key_F9));
    m_openLogAction = new QAction(this);
    m_openLogAction->setObjectName(QStringLiteral("actionApri_Log"));
    addAction(m_recordAction);
    addAction(m_openLogAction);

    m_recordButton = new QToolButton(body);
    m_recordButton->setObjectName(QStringLiteral("btRegistraLog"));
    m_recordButton->setDefaultAction(m_recordAction);
    m_dot = new QLabel(QStringLiteral("\u25CF"), body);
    m_dot->setObjectName(QStringLiteral("lblPuntoRegistrazione"));
    m_dot->setStyleSheet(QStringLiteral("color: rgb(220, 0, 0);"));
    m_stateLabel = new QLabel(body);
    m_stateLabel->setObjectName(QStringLiteral("lblRegistrazione"));
    m_elapsedLabel = new QLabel(body);
    m_elapsedLabel->setObjectName(QStringLiteral("lblTempoRegistrazione"));

    m_openButton = new QToolButton(body);
    m_openButton->setObjectName(QStringLiteral("btApriLog"));
    m_openButton->setDefaultAction(m_openLogAction);
    m_playButton = new QToolButton(body);
    m_playButton->setObjectName(QStringLiteral("btRiproduciLog"));
    m_slider = new QSlider(Qt::Horizontal, body);
    m_slider->setObjectName(QStringLiteral("slPosizioneLog"));
    m_positionLabel = new QLabel(body);
    m_positionLabel->setObjectName(QStringLiteral("lblPosizioneLog"));
    m_logLabel = new QLabel(body);
    m_logLabel->setObjectName(QStringLiteral("lblFileLog"));
    // A long name is shortened to the room there is (the whole path is in
    // its tool tip): the panel stays narrow enough for a laptop's screen.
    m_logLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_logLabel->installEventFilter(this);

    auto *recordRow = new QHBoxLayout;
    recordRow->addWidget(m_recordButton);
    recordRow->addWidget(m_dot);
    recordRow->addWidget(m_stateLabel);
    recordRow->addWidget(m_elapsedLabel);
    recordRow->addStretch(1);
    auto *replayRow = new QHBoxLayout;
    replayRow->addWidget(m_openButton);
    replayRow->addWidget(m_playButton);
    replayRow->addWidget(m_slider, 1);
    replayRow->addWidget(m_positionLabel);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_chart, 1);
    layout->addLayout(recordRow);
    layout->addLayout(replayRow);
    layout->addWidget(m_logLabel);
    setWidget(body);

    m_elapsedTimer.setInterval(1000);
    connect(&m_elapsedTimer, &QTimer::timeout, this, &CDataLogDock::showElapsed);

    connect(m_recordAction, &QAction::toggled, this, &CDataLogDock::setRecording);
    connect(m_openLogAction, &QAction::triggered, this, &CDataLogDock::chooseLog);
    connect(m_recorder, &CDataLogRecorder::recordingChanged, this,
            &CDataLogDock::onRecordingChanged);
    connect(m_recorder, &CDataLogRecorder::error, this,
            [this](const QString &message) { warn(tr("Registra log"), message); });

    connect(m_playButton, &QToolButton::clicked, this, [this] {
        if (m_replayer->isPlaying())
            m_replayer->pause();
        else
            m_replayer->play();
    });
    connect(m_slider, &QSlider::valueChanged, this, [this](int ms) { seekTo(ms); });
    connect(m_chart, &CStripChart::timeChosen, this, &CDataLogDock::seekTo);
    connect(m_replayer, &CLogReplayer::positionChanged, this, &CDataLogDock::showPosition);
    connect(m_replayer, &CLogReplayer::positionChanged, this, &CDataLogDock::showReplayPosition);
    connect(m_replayer, &CLogReplayer::playingChanged, this, &CDataLogDock::updateReplayControls);

    onRecordingChanged(false);
    updateReplayControls();
    showPosition(0);
    retranslateUi();
}

// The recording ends with its panel: what is left reaches the file, and a
// failure then is no longer shown (the panel is going).
CDataLogDock::~CDataLogDock()
{
    disconnect(m_recorder, nullptr, this, nullptr);
    m_recorder->stop();
}

void CDataLogDock::retranslateUi()
{
    setWindowTitle(tr("Registrazione dati"));
    m_recordAction->setText(tr("Registra log"));
    m_openLogAction->setText(tr("Apri log..."));
    m_stateLabel->setText(m_recorder->isRecording() ? tr("Registrazione in corso") : QString());
    updateReplayControls();
    m_chart->retranslate();
}

void CDataLogDock::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QDockWidget::changeEvent(event);
}

void CDataLogDock::addLiveSample(const CLiveSample &sample)
{
    if (!m_chartLive) {
        m_chart->clear();
        m_chartLive = true;
    }
    m_chart->addSample(sample);
}

void CDataLogDock::setLinkOn(bool on)
{
    m_linkOn = on;
    if (on)
        m_replayer->pause();
    updateReplayControls();
}

void CDataLogDock::setRecording(bool on)
{
    if (on)
        m_recorder->start(profileFolder(), m_devInfo, m_recorder->k(), m_recorder->bench());
    else
        m_recorder->stop();
    // A start that failed leaves the switch off.
    const QSignalBlocker block(m_recordAction);
    m_recordAction->setChecked(m_recorder->isRecording());
}

bool CDataLogDock::openLog(const QString &path)
{
    CDataLog log;
    QString error;
    if (!readDataLog(path, &log, &error) || log.size() == 0) {
        // A header without rows opens, but has nothing to replay.
        if (error.isEmpty())
            error = tr("Il log è vuoto: non ha righe dopo l'intestazione.");
        warn(tr("Apri log"), tr("Impossibile aprire il log %1. %2")
                                 .arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    m_replayer->setLog(log, path);
    m_logName = QFileInfo(path).fileName();
    showLogName();
    m_logLabel->setToolTip(QDir::toNativeSeparators(path));
    {
        const QSignalBlocker block(m_slider);
        m_slider->setRange(0, int(qMin<qint64>(m_replayer->duration(),
                                               std::numeric_limits<int>::max())));
    }
    if (!m_linkOn)
        m_chart->setLog(log.samples);
    m_chartLive = m_linkOn;
    m_replayer->seek(0); // the readouts show the start
    updateReplayControls();
    emit logOpened(path);
    return true;
}

void CDataLogDock::chooseLog()
{
    QString folder = dataLogFolder(profileFolder());
    if (!QFileInfo(folder).isDir())
        folder = profileFolder();
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Apri log"), folder, tr("Log (*.csv)"));
    if (!path.isEmpty())
        openLog(path);
}

void CDataLogDock::onRecordingChanged(bool on)
{
    {
        const QSignalBlocker block(m_recordAction);
        m_recordAction->setChecked(on);
    }
    m_dot->setVisible(on);
    m_stateLabel->setText(on ? tr("Registrazione in corso") : QString());
    m_elapsedLabel->setVisible(on);
    if (on) {
        m_elapsedTimer.start();
        m_elapsedLabel->setToolTip(QDir::toNativeSeparators(m_recorder->filePath()));
    } else {
        m_elapsedTimer.stop();
    }
    showElapsed();
}

void CDataLogDock::showElapsed()
{
    m_elapsedLabel->setText(formatLogTime(m_recorder->elapsedMs()));
}

void CDataLogDock::showPosition(qint64 ms)
{
    {
        const QSignalBlocker block(m_slider);
        m_slider->setValue(int(qMin<qint64>(ms, std::numeric_limits<int>::max())));
    }
    m_positionLabel->setText(QStringLiteral("%1 / %2").arg(formatLogTime(ms),
                                                          formatLogTime(m_replayer->duration())));
}

// The replay moved (played, or sought): the chart's position line follows,
// once the chart shows the log again after the link.
void CDataLogDock::showReplayPosition(qint64 ms)
{
    if (m_linkOn || m_replayer->isEmpty())
        return; // the chart belongs to the live answers
    if (m_chartLive) {
        m_chart->setLog(m_replayer->samples());
        m_chartLive = false;
    }
    m_chart->setPosition(ms);
}

// The slider moved, or a moment was clicked on the chart: the replay jumps
// there.
void CDataLogDock::seekTo(qint64 ms)
{
    if (!m_linkOn && !m_replayer->isEmpty())
        m_replayer->seek(ms);
}

void CDataLogDock::updateReplayControls()
{
    const bool playing = m_replayer->isPlaying();
    const bool usable = !m_linkOn && !m_replayer->isEmpty();
    m_playButton->setEnabled(usable);
    m_slider->setEnabled(usable);
    m_playButton->setToolTip(playing ? tr("Pausa") : tr("Riproduci"));
    // The style looks its icons up in the icon theme, which costs milliseconds
    // the first time: a hidden panel (as at start) takes its icon when shown.
    m_playIconStale = true;
    if (isVisible())
        showPlayIcon();
}

void CDataLogDock::showPlayIcon()
{
    m_playIconStale = false;
    m_playButton->setIcon(style()->standardIcon(m_replayer->isPlaying() ? QStyle::SP_MediaPause
                                                                        : QStyle::SP_MediaPlay));
}

void CDataLogDock::showEvent(QShowEvent *event)
{
    if (m_playIconStale)
        showPlayIcon();
    QDockWidget::showEvent(event);
}

void CDataLogDock::showLogName()
{
    m_logLabel->setText(m_logLabel->fontMetrics().elidedText(m_logName, Qt::ElideMiddle,
                                                            m_logLabel->contentsRect().width()));
}

bool CDataLogDock::eventFilter(QObject *object, QEvent *event)
{
    if (object == m_logLabel && event->type() == QEvent::Resize)
        showLogName();
    return QDockWidget::eventFilter(object, event);
}

void CDataLogDock::warn(const QString &title, const QString &text)
{
    QMessageBox::warning(this, title, text);
}
