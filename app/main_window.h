#pragma once
#include <array>
#include <map>
#include <string>

#include "app/recorder_mailbox.h"
#include "audio/player.h"
#include "audio/recorder.h"
#include "cycle/analysis_parameters.h"
#include "cycle/session.h"
#include "project/kept_ring.h"
#include "ring/ring_text.h"
#include "ui/history_plot.h"
#include "ui/ring_report_pdf.h"
#include "ui/text_grid.h"
#include "partials/partial_table.h"
#include "ui/analyser_app.h"
#include "ui/spectrum_view.h"
#include "ui/tuning_rows.h"
#include "tuning/ideal_tuning.h"
#include "tuning/tuning_report.h"
#include "ui/toolkit/dialog.h"

class AxisStrip;
class DecayView;
class SpectrogramView;
class QProgressBar;
class QSlider;
class ScrollBar;
class SpinButton;

// Control ids of the main window (dialog 102).
namespace MainWindowIds {
inline constexpr int kSamples = 1000;
inline constexpr int kCursorFrequency = 1003;
inline constexpr int kCursorAmplitude = 1005;
inline constexpr int kScale = 1006;
inline constexpr int kBinsPerPixel = 1007;
inline constexpr int kScrollBar = 1008;
inline constexpr int kSpin = 1009;
inline constexpr int kAddPartial = 1010;
inline constexpr int kCursorNote = 1012;
inline constexpr int kSpeedAdjust = 1014;
inline constexpr int kMajorPartialsGroup = 1016;
inline constexpr int kLowNominal = 1043;
inline constexpr int kHighNominal = 1044;
inline constexpr int kPlotFrame = 1045;
inline constexpr int kApplicationGroup = 1046;
inline constexpr int kFileDescription = 1047;
inline constexpr int kCompanyName = 1048;
inline constexpr int kLegalNotice = 1049;
inline constexpr int kWebAddress = 1050;
inline constexpr int kVersionLabel = 1051;
inline constexpr int kProductVersion = 1052;
inline constexpr int kStartAnalysis = 1178;
inline constexpr int kStopAnalysis = 1179;
inline constexpr int kWaitForTrigger = 1180;
inline constexpr int kTriggerSlider = 1181;
inline constexpr int kSaveRecording = 1182;
inline constexpr int kStatus = 1183;
inline constexpr int kVolumeMeter = 1184;
inline constexpr int kInterval = 1185;
inline constexpr int kStartFrequency = 1187;
inline constexpr int kTriggerValue = 1189;  // the trigger slider's position as a number
inline constexpr int kOverload = 1258;
inline constexpr int kSingleShot = 1260;
inline constexpr int kContinuous = 1261;
inline constexpr int kEndFrequency = 1284;
inline constexpr int kSavePartials = 1285;
inline constexpr int kExit = 1286;
inline constexpr int kViewPartials = 1287;
inline constexpr int kReadPartials = 1288;
// Beyond the template: the frequency axis under the scroll bar and the
// decibel switch beside "Scale".
inline constexpr int kAxisStrip = 1300;
inline constexpr int kDecibels = 1301;
// The tuning panel under the template.
inline constexpr int kIdealChoice = 1310;
inline constexpr int kTolerance = 1311;
inline constexpr int kResetAverage = 1312;
inline constexpr int kAnalyseFile = 1313;
inline constexpr int kSaveReport = 1314;
inline constexpr int kStrikeNote = 1315;
inline constexpr int kTuningTable = 1316;
inline constexpr int kTuningStatus = 1317;
inline constexpr int kCalibrate = 1318;
// The tabs under the plot: the tuning table first, then the other views of
// the bell and the ring.
inline constexpr int kPanelTabs = 1320;
// The decay and spectrogram tabs, and their views in the plot's place.
inline constexpr int kDecayView = 1360;
inline constexpr int kDecayInPlot = 1361;
inline constexpr int kDecayShowAll = 1362;
inline constexpr int kSpectrogramView = 1363;
inline constexpr int kSpectrogramInPlot = 1364;
inline constexpr int kPlotDecayView = 1365;
inline constexpr int kPlotSpectrogramView = 1366;
// The "Listen" tab: the recording, or the bell synthesised from its report.
inline constexpr int kPlay = 1380;
inline constexpr int kPlaySynthesised = 1381;
inline constexpr int kPlayAsTuned = 1382;
inline constexpr int kStopPlaying = 1383;
inline constexpr int kPlayPosition = 1384;  // "1.3 s of 4.6 s"
inline constexpr int kPlayProgress = 1385;
inline constexpr int kPlayTimer = 1386;     // the timer that follows the player
// The tower's project: "Keep..." beside the tuning panel's buttons, the
// Ring and History tabs.
inline constexpr int kKeep = 1330;
inline constexpr int kProjectMenu = 1331;
inline constexpr int kAnalyseAgain = 1332;
inline constexpr int kUnits = 1333;
inline constexpr int kInnerFigures = 1334;
inline constexpr int kRingTitle = 1335;
inline constexpr int kRingTable = 1336;
inline constexpr int kHistoryTable = 1337;
inline constexpr int kHistoryPlot = 1338;
// Major-partials edits: frequency, cents and note of the columns Hum,
// Prime, Tierce, Quint, Nominal.
inline constexpr std::array<std::array<int, 3>, 5> kMajorEdits{{
    {1018, 1027, 1028}, {1029, 1030, 1031}, {1032, 1033, 1034}, {1035, 1036, 1037}, {1038, 1039, 1040},
}};
// The partial index shown in each of those columns.
inline constexpr std::array<int, 5> kMajorColumnPartial{IndexOf(Partial::Hum), IndexOf(Partial::Prime),
                                                        IndexOf(Partial::Tierce), IndexOf(Partial::Quint),
                                                        IndexOf(Partial::Nominal)};
}  // namespace MainWindowIds

// The program's main window, "PC Campanor Program": the analysis
// parameters, the trigger and level meter, the recorder's status, the major
// partials, the version panel and the spectrum plot. It owns the recorder,
// the session that analyses the current bell (cycle/session.h) and the
// spectrum view of that bell for the program's life, forwards its commands
// and the recorder's messages to the session and shows what it holds; it is
// run modally by the application object and the program ends when it closes.
//
// Threads: everything runs on the user-interface thread except
// PostRecorderMessage, which the recorder calls on its capture thread; it
// only queues the message (WM_RECORDER_LEVEL, WM_RECORDING_DONE,
// WM_RECORDER_LOST), which is then handled here in order, also inside
// nested modal loops.
//
// The handlers are public so that tests can drive the window the way the
// framework does; what it shows is read through the accessors below.
class MainWindow : public Dialog, public RecorderOwner, public SpectrumViewHost {
public:
    explicit MainWindow(const VersionStrings& versions = {});
    ~MainWindow() override;

    // --- Commands and messages (user-interface thread) ----------------------
    // "Start analysis": the bell's sound and partials no longer offered for
    // saving (Session::ForgetResults), then reads the six
    // parameters (with their range messages), computes steps, corrects the
    // nominal limits and shows them, and refuses with "Bad analysis
    // parameters!" unless ParametersAcceptable; otherwise arms the recorder
    // for trunc(44100 / interval) samples, waiting for the trigger or not.
    void OnStartAnalysis();
    // "Stop analysis": ends waiting or recording; a partial recording is
    // discarded, and so is a recording that completed while the stop was on
    // its way (its WM_RECORDING_DONE is then ignored).
    void OnStopAnalysis();
    // WM_RECORDING_DONE: the session takes the recording and analyses it,
    // the transform under the progress dialog; the partials are shown, the
    // refreshes the plot and, in continuous mode after a completed
    // transform, arms the recorder again. A cancelled transform ends the
    // cycle and keeps the recording for "Save recording".
    void OnRecordingDone();
    // WM_RECORDER_LOST: the device failed. The recorder is closed, a
    // recording in progress is dropped (a finished one stays to be saved),
    // the status says "input lost" and a message tells the user that
    // "Start analysis" opens the input again.
    void OnInputLost();
    // "Save recording": the recording as a .wav file chosen in the save
    // dialog; "Error writing file!" when it cannot be written (an earlier
    // file of that name is then left as it was).
    void OnSaveRecording();
    // "Save partials": the partial table as a .par file chosen in the save
    // dialog; "Error writing file!" when it cannot be written.
    void OnSavePartials();
    // "Read partials": a .par file chosen in the open dialog into the
    // table; its message on any failure, otherwise the partials shown, the
    // plot redrawn and the buttons enabled for the new table.
    void OnReadPartials();
    // "View partials": the partial table in the read-only grid of the
    // "Edit Partials" dialog, as it is now; the table is never changed.
    void OnViewPartials();
    // WM_RECORDER_LEVEL: dropped while busy; otherwise reads the controls,
    // sets the recorder's threshold from the slider (x 327), shows the
    // overload indicator while the recorder holds an overload (counting it
    // down), the samples recorded and the volume trunc(block peak x 100 /
    // 32768), and pushes the fields.
    void OnLevel();
    // Enables each control for the session's state, the table's
    // partialsValid, the bell's sound state and whether its spectrum is
    // measured.
    void EnableControls();
    // busy; EnableControls; push all fields; not busy.
    void Refresh();
    // Focus left one of the six parameter edits: reads and range-checks
    // all six (busy meanwhile).
    void OnParameterKillFocus();
    // The trigger slider was let go: its position is read at the next read
    // of the controls (normally the next level message).
    void OnTriggerReleased();
    void OnSingleShot();
    void OnContinuous();
    // Adds the peak under the cursor to the partial table, names the
    // partials again and shows them with the tuning report measured again
    // (Session::AddPartial).
    void OnAddPartial();
    // "Exit": confirm, close the recorder, end with IDOK after reading the
    // controls back.
    void OnExit();
    // The major-partial arrays from the partial table (index = partialIndex).
    void ShowMajorPartials();

    // --- The tuning panel -----------------------------------------------------
    // The ideal chooser: "just", "tempered", or "file..." (an open dialog for
    // a founder's file; a bad file is refused with its line and the choice
    // goes back). The shown report's deviations follow at once.
    void OnIdealChosen(int index);
    // The tolerance changed: the colours follow.
    void OnToleranceChanged(double cents);
    // "Reset": the averages over strikes start again.
    void OnResetAverage();
    // Table, strike note and status line from `tuning` and the averages;
    // the report's warnings follow the status (their texts, or their count
    // and codes when the texts do not fit), every one of them in full in
    // the status line's tool tip.
    void ShowTuning();
    // Adds `page` as a tab of the panel under the plot, after those there.
    void AddPanelTab(QWidget* page, const QString& title);
    // "Save report...": a PDF of what the window shows, the decay curves
    // on a page of their own after the first when the bell was measured.
    void OnSaveReport();
    // --- The "Listen" tab ------------------------------------------------------
    // "Play": the bell's recording as it was captured, before the speed
    // adjustment. "Play synthesised" / "Play as tuned": the bell its tuning
    // report describes (SynthesiseBell), as measured or with every partial
    // on its ideal, as long as the analysed recording and at least 3 s.
    // A missing or failing output is told in a message and changes nothing
    // else. Whatever was playing stops first.
    void OnPlay();
    void OnPlaySynthesised(bool asTuned);
    // "Stop": the playing ends within about a block.
    void OnStopPlaying();
    // The timer while playing (50 ms): the position shown; at the end the
    // buttons follow, and a device that failed part-way is told.
    void OnPlayTick();
    const Player& Playback() const { return player; }

    // "Calibrate...": asks the reference tone's frequency, then records 3 s
    // of it from the trigger (Session::StartCalibration).
    void OnCalibrate();
    // The calibration recording is complete: the tone measured; on success
    // "Speed Adjust" takes the speed adjustment found and the user may keep
    // it in the calibration file the program read at start-up; otherwise
    // the reason is said.
    void OnCalibrationDone();
    // "Analyse file...": a sound file chosen in the open dialog, then
    // AnalyseSoundFile.
    void OnAnalyseFile();
    // While stopped: the six parameters read and checked as for "Start
    // analysis", the file recorded through the automatic trigger for
    // trunc(44100 / interval) samples, analysed under the progress dialog
    // and shown; the file's name becomes the partials file's sound-file
    // name. A file that cannot be read or never reaches the trigger is
    // refused with its message, leaving everything as it was. True when
    // the analysis completed.
    bool AnalyseSoundFile(const std::string& path);
    // A file named on the command line: a project file (.campanor) is
    // opened (OpenProject); a sound file is analysed as if it had been
    // dropped on the window.
    void OpenGivenFile(const std::string& path);

    // --- The tower's project (the Ring and History tabs) ----------------------
    // "New project...": the ring's name, place and number of bells, then
    // where to keep it; made and opened, its message when it cannot be.
    void OnNewProject();
    // "Open project...": an open dialog, then OpenProject.
    void OnOpenProject();
    // Opens the project at `path` in place of one open before; a refusal
    // says why and leaves the one open before closed. A read-only project
    // opens, and a message says that nothing can be kept in it. The tuning
    // panel takes the ring's ideal and tolerance. True when open.
    bool OpenProject(const std::string& path);
    void OnCloseProject();
    // "Save project as...": a copy under a new name, which stays open.
    void OnSaveProjectAs();
    // "Ring settings..." and "Bell details..." (of the bell selected in the
    // ring table, the treble when none is).
    void OnRingSettings();
    void OnBellDetails();
    // "Keep...": the bell and the pass label asked (the bell selected, its
    // next label proposed), then the strike on screen kept as that pass.
    void OnKeep();
    // A bell's row in the ring table clicked: its pass shown in the table
    // (the latest unless another was chosen in its history) is loaded
    // exactly as kept, and its history shown.
    void OnRingBellClicked(int bell);
    // A pass of the history clicked (its index in the kept order): loaded
    // exactly as kept and shown for the bell in the ring table.
    void OnHistoryPassClicked(int index);
    // "Analyse again": the recording on screen analysed with the parameters
    // in the edits; nothing is kept unless the user keeps it.
    void OnAnalyseAgain();
    // The ring table and the selected bell's history from the project.
    void ShowRing();
    void ShowHistory();
    bool ProjectIsOpen() const { return project_.IsOpen(); }
    // "Bell N (label), PASS" of the kept measurement on screen; "" when what
    // is shown was not kept.
    const std::string& ShownPass() const { return shownPass_; }
    // The synthetic start-up spectrum, its partials named and shown.
    void PrepareStartupSpectrum();

    // RecorderOwner: capture thread; queues the message.
    void PostRecorderMessage(unsigned message) override;

    // SpectrumViewHost.
    void PushReadouts(bool attachScrollBar) override;
    void SetScrollInfo(int minimum, int maximum, int page, int position) override;
    void SetSpinRange(int lower, int upper) override;
    void SetSpinPosition(int position) override;
    void ShowImage() override;

    // --- The decay and spectrogram tabs (main_window_views.cpp) ---------------
    // What the plot's place shows: the spectrum (the default), or the decay
    // or spectrogram view in its stead, as the tabs' "In the plot" boxes
    // say; the boxes follow (one ticked at most).
    enum class PlotShows { Spectrum, Decay, Spectrogram };
    void ShowInPlot(PlotShows shows);
    PlotShows PlotShowing() const { return plotShows_; }
    // Both decay views show only the partial stored as `partialIndex`, or
    // all for -1 ("Show all").
    void SelectDecayPartial(int partialIndex);
    // A click on row `row` of the tuning table: its partial in the decay views.
    void OnTuningRowClicked(int row);
    // The decay curves and the spectrogram of the current bell, made again
    // when its samples or its report changed.
    void ShowViews();
    // The spectrogram views show the band the spectrum plot shows.
    void FollowPlotBand();
    const DecayView& Decay(bool inPlot) const;
    const SpectrogramView& SpectrogramShown(bool inPlot) const;

    // --- What the window shows (for tests and the report) -------------------
    const Bell& CurrentBell() const { return session.Current(); }
    SessionState State() const { return session.State(); }
    const Recorder& LiveInput() const { return recorder; }
    const SpectrumView& View() const { return view; }
    const IdealTuning& Ideal() const { return session.Ideal(); }
    // The six parameters as last read from their edits.
    const AnalysisParameters& EditedParameters() const { return parameters; }
    // The live readout under the mouse pointer (shown as a tool tip); empty
    // when the pointer is off the plot.
    const std::string& HoverReadout() const { return hoverReadout; }
    // Polling period of the analysis progress dialog, ms (500); tests shorten it.
    void SetProgressTick(int milliseconds) { progressTickMilliseconds = milliseconds; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
    // Escape: asks like the close box, so an unsaved recording is never
    // lost without a question.
    void OnCancel() override;
    void OnClose() override;
    // Enter in a parameter edit applies that edit, with its range check,
    // instead of pressing the default button ("Exit").
    void keyPressEvent(QKeyEvent* event) override;
    void OnHScroll(int code, int position, QWidget* source) override;
    void OnLButtonDown(QPoint point) override;
    void OnPostedMessage(unsigned message) override;
    void OnTimer(int id) override;
    // The plot takes the window's extra size; wheel zoom, drag pan, the
    // live readout and the plot's keys.
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    // A sound file dropped on the window is analysed like "Analyse file...".
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Arrow keys and Page Up / Page Down on the plot; true when used.
    bool PlotKey(QKeyEvent* event);

private:
    // --- Owned objects --------------------------------------------------------
    // Before `recorder`, so that it outlives the capture thread that posts to it.
    RecorderMailbox mailbox{[this](unsigned message) { OnPostedMessage(message); }};
    Recorder recorder{this};
    Session session{recorder};
    SpectrumView view{session.Current().spectrum, session.Current().table};
    Player player;

    // --- Fields exchanged with the controls ----------------------------------
    int samplesRecorded = 0;
    bool overloadShown = false;
    int triggerLevel = 25;          // percent of full scale, slider 0 ... 100
    bool waitForTrigger = true;
    // The six parameter edits: band and interval (Hz, 0 ... 22000 and
    // 0.05 ... 5), speed adjust (0.9 ... 1.1), nominal limits (Hz).
    AnalysisParameters parameters;
    bool continuousMode = false;
    std::array<double, 8> majorFrequency{};  // Hz, by partial index
    std::array<double, 8> majorCents{};
    std::array<std::string, 8> majorNote;
    std::string fileDescription;
    std::string productVersion;
    std::string legalNotice;
    std::string companyName;

    // One-shot flags: which groups take part in the next exchange.
    bool exchangeParameters = true;
    bool exchangeTrigger = true;
    bool exchangeResults = true;
    bool attachScrollBar = true;
    bool attachSpin = true;
    // Raised around the exchanges of Refresh, OnParameterKillFocus and
    // OnLevel; level messages that arrive meanwhile are dropped.
    bool busy = false;
    // The sound input failed and is closed until "Start analysis" reopens it.
    bool inputLost = false;
    // No sound input could be opened at start-up: live recording is off,
    // everything else works.
    bool liveInputOff = false;
    double toleranceCents = 10.0;  // the tuning panel's colours
    double calibrationHz = 440.0;  // the reference tone's frequency last typed
    std::string calibrationFile;   // correct.txt where it was read at start-up (absolute)
    std::string analysedAt;  // when the shown analysis was made (ISO 8601, local time)
    int progressTickMilliseconds = 500;
    std::string hoverReadout;

    // Controls bound by the exchange.
    QSlider* triggerSlider = nullptr;
    QWidget* plotFrame = nullptr;
    QProgressBar* volumeMeter = nullptr;
    ScrollBar* scrollBar = nullptr;
    SpinButton* spin = nullptr;
    AxisStrip* axisStrip = nullptr;

    void BuildTemplate();
    void BuildControlsColumn();
    void BuildMajorPartials();
    void BuildApplicationPanel();
    void BuildPlotRow();
    void BuildTuningPanel();
    void BuildListenPage();
    // Plays `samples`, or says why it cannot; the tab follows.
    void PlaySamples(std::shared_ptr<const std::vector<std::int16_t>> samples);
    // The position and the buttons of the "Listen" tab.
    void ShowPlayPosition();
    void EnableListen(bool idle);
    void BuildRingTabs();
    // Enables the project's controls for the session's state and the project.
    void EnableProjectControls();
    // Loads the kept pass `id` of `bell` into the session and shows it.
    bool LoadPass(int bell, std::int64_t id);
    // After a change of the ring's ideal or tolerance in the tuning panel.
    void KeepPanelChoicesInRing();
    // The history of `bell` (empty without passes): its grid, and its
    // spectra unless `curves` is null.
    void MakeHistory(int bell, TextGrid& grid, std::vector<HistoryPlot::Curve>* curves) const;
    // The ring's tables and every bell's history as the ring's report holds them.
    RingReport MakeRingReport() const;
    // Makes the ring table's grid from the passes shown.
    TextGrid MakeRingTableGrid(OuterTuning* outerOut = nullptr) const;
    // "NAME, PLACE: N bells, " and the ring's pitch.
    std::string RingTitle(const OuterTuning& outer) const;
    // The plot frame, scroll bar and axis at their template places plus the
    // window's growth beyond its default size; then the view follows.
    void LayoutPlot();
    void ResizableFromDefault();
    void ConnectCommands();
    void ExchangeParameters(DataExchange& dx);
    void ExchangeResults(DataExchange& dx);
    // The exit confirmation; on OK the recorder is closed. True when the
    // user confirmed.
    bool ConfirmExitAndCloseRecorder();
    // The session's transform runner: the modal progress dialog; true when
    // the transform completed, false when it was cancelled.
    bool RunAnalysisProgress(SpectrumAnalyser& engine, const AnalysisRequest& request, const Recording& analysed,
                             Spectrum& spectrum);
    // After an analysis: the partials (when named) and the tuning panel
    // shown and the plot refreshed; nothing after a cancel.
    void ShowAnalysisResult(AnalysisOutcome outcome);
    // Reads the six parameters (with their range messages), computes steps,
    // corrects the nominal limits and shows them; false after "Bad analysis
    // parameters!" when they cannot be analysed.
    bool ReadAnalysisParameters();
    // The trigger settings as the controls hold them.
    Triggering CurrentTriggering() const { return {waitForTrigger, triggerLevel}; }

    // --- The tower's project -------------------------------------------------
    Project project_;
    KeptRing kept_;  // the ring and each bell's latest pass, as last read
    // Passes chosen in a bell's history to stand for it in the ring table.
    std::map<int, KeptPass> chosenPasses_;
    int selectedBell_ = 0;  // 0: none
    // The bell and its last pass whose spectra the history shows; none at first.
    std::pair<int, std::int64_t> historyCurvesOf_{-1, -1};
    std::string shownPass_;
    TuningUnits units_ = TuningUnits::Cents;
    InnerFigures innerFigures_ = InnerFigures::Deviation;

    const VersionStrings versions_;
    // Template geometry of what grows with the window, in pixels.
    QSize defaultSize_;
    QRect plotDefault_;
    QRect scrollDefault_;
    QRect axisDefault_;
    // Controls under the plot that move down with the window's growth;
    // those marked wide also take its extra width.
    // The panel tabs also take a third of the extra height; what lies above
    // them moves down by the plot's share only.
    struct MovingControl {
        QWidget* widget;
        QRect rect;
        bool wide;
        bool tall;
        bool abovePanel;
    };
    std::vector<MovingControl> belowPlot_;
    // A left-button drag over the plot: where it began and the left edge then.
    bool dragging_ = false;
    int dragStartX_ = 0;
    int dragStartFirstBin_ = 0;
    int wheelAngle_ = 0;  // wheel eighths of a degree not yet turned into steps
    // The decay and spectrogram views: in their tabs and in the plot's place.
    void BuildViewTabs();
    // The views in the plot's place over the plot frame, the one chosen shown.
    void PlacePlotViews();
    DecayView* decayView_ = nullptr;
    DecayView* plotDecayView_ = nullptr;
    SpectrogramView* spectrogramView_ = nullptr;
    SpectrogramView* plotSpectrogramView_ = nullptr;
    PlotShows plotShows_ = PlotShows::Spectrum;
    // What the views were made from: the samples and the report's partials.
    const void* viewsSamples_ = nullptr;
    std::vector<double> viewsKey_;
};
