#include "tools/tool_options.h"

std::string ToolHelpText() {
    return R"(Usage: campanor-analyse [options] FILE...

Analyses recorded bell sounds the way the Campanor window analyses a live
recording: each FILE is played through the recorder's trigger, recorded for
1 / interval seconds, transformed, and its partials are named. The result is
what "Save partials" writes, or a table, or JSON; the table, JSON and csv
outputs add the tuning report of every named partial.

Input: every format libsndfile reads (WAV, AIFF, FLAC, Ogg, ...). Channels
are mixed to mono, any sample rate is converted to 44100 Hz (best sinc
quality) and samples to 16 bits, piece by piece and only as far as the
trigger and the recording need, so a long file costs about what a short
one does. At most 2^25 samples at 44100 Hz (12.7 minutes) are searched for
the trigger; the rest of a longer file is ignored with a warning.

Recording (as the window's "Triggering" box):
  --trigger auto     (default) the recording starts with the first block of
                     8192 samples whose largest positive sample exceeds a
                     quarter of the file's largest sample (taken at the
                     file's own rate): the window's
                     level 25 measured against the file's own level, so
                     that quiet recordings trigger too
  --trigger N        the window's rule: trigger level 0 ... 100, the first
                     block whose largest positive sample exceeds N x 327
  --no-trigger       start the recording at the first sample
                     A file that ends before the recording is complete is
                     padded with zeros (with a warning).

Analysis parameters (the window's names, defaults and checks):
  --start HZ         Start Freq.      (default 0)
  --end HZ           End Freq.        (default 5000)
  --interval HZ      Interval (Hz)    (default 0.5); the recording holds
                     trunc(44100 / interval) samples, of which the spectrum
                     and the partial table use at most the first 88200; the
                     tuning report uses them all
  --speed F          Speed Adjust     (default 1.0); the recording is
                     stretched by F before the analysis unless F is 1
  --low HZ           Low nominal      (default 0); raised to --start
  --high HZ          High nominal     (default 5000); set to --end when
                     above it or not above --start
  Values outside the window's edit ranges (0 ... 22000 Hz, interval
  0.05 ... 5, speed 0.9 ... 1.1) give a warning. Refused, with "Bad analysis
  parameters!" and exit status 2, unless 0 <= start < end <= 22000,
  interval >= 0.05, the band holds 1 ... 100001 intervals, speed is within
  0.9 ... 1.1 and low nominal < high nominal.

Output:
  --format par       (default) the partials file "Save partials" writes,
                     CR LF line ends, the input's file name in line 2
                     (":", "," and control characters as "_", shortened
                     at its start to keep the line within 78 characters)
  --format table     an aligned table: nominal, then per row frequency,
                     amplitude, cents, partial name and note; then the
                     tuning report, the strike note and one line per
                     warning
  --format json      one JSON object per file and line: file, parameters,
                     nominal, rows, clipped_samples, warnings, tuning
  --format csv       the tuning report for spreadsheets: a header line, then
                     one line per named partial per file, its last column
                     the file's warning codes separated by ";"
  -o FILE            write the one result to FILE instead of standard output
  --out-dir DIR      write NAME.par (.txt, .json, .csv) in DIR for each input
  --spectrum FILE    also write the spectrum of the one input as CSV:
                     frequency_hz,magnitude at full precision
  --plot FILE        also draw the spectrum of the one input as a PNG
                     picture: the window's bar graph at 563 x 284 pixels (the
                     whole band), the partials in red, the cursor (black
                     column, green line) on the nominal
  Files are replaced only once complete: a failed write leaves an earlier
  file as it was and no partial file behind.

Tuning report: for each named partial the precise frequency (the peak of
the Hann-windowed transform of the whole recording, far finer than the
spectrum's interval) with one standard deviation of it, cents from the
precise nominal, the ideal cents and the deviation from them, T60 (the
time to decay by 60 dB, fitted after the strike's transient; empty when too
weak to tell or when the level beats or bends), a doublet (a second peak
within 40 cents, at least two resolution widths away and no more than 20 dB
weaker) and the note; then the strike note, the fundamental whose 2nd, 3rd
and 4th harmonics best fit, in cents, nominal, superquint and octave
nominal, and the partials it was fitted to. The uncertainty counts the
noise measured between the partials and the pull of a companion too close
to resolve.
The whole recording: every sample of the recording (trunc(44100 /
interval) of them, 20 s at 0.05 Hz) from the strike on, without the zeros
that pad a short file; the spectrum and the partial table keep using the
first 88200 samples (2 s).
Warnings, each with its code (json "warnings", the csv's last column):
  clipped            samples at full scale, counted from the trigger on,
                     before the speed adjustment
  second_strike      the bell was struck again, at the time given in
                     seconds from the start of the recording; only what
                     comes before it is measured
  padded             the file ended before the recording was complete; the
                     zeros are not measured
  beats              a partial's level beats or bends (a companion too
                     close to resolve, or a two-stage decay); its T60 is
                     left empty
  unresolved         a companion too close to resolve pulls the partial's
                     frequency; its uncertainty says how far
  --ideal NAME       the ideal of the deviations: just (default; tierce
                     6:5 and quint 4:3 below, superquint 3:2 above the
                     nominal), tempered (tierce -900, quint -500, superquint
                     +700 cents) or a FILE of "name,cents" lines with the
                     partial names above ("oct. nom." for the octave
                     nominal; # starts a comment); a partial the file does
                     not list has no ideal

Synthesis:
  --synthesise OUT.wav  also write the bell the tuning report describes
                     (16-bit, 44100 Hz, as long as one recording, its peak at
                     -3 dBFS): each named partial at its frequency, its level
                     at the strike (json "level_db", dB below full scale) and
                     its T60 (the nominal's where it has none), its doublet
                     beside it; analysed again it gives the same partials
  --as-tuned         with --synthesise: every named partial moved to its
                     ideal from the measured nominal, a doublet keeping its
                     spacing, to hear the bell as it would be tuned

A ring of bells:
  --ring FILE...     the files are a ring's bells in order, treble first, the
                     last the tenor: the outer tuning (each nominal in cents
                     from the anchor's against the scale's target) and the
                     inner tuning (each bell's partials from its own
                     nominal, and their deviations from --ideal); --format
                     table (the default here), json or csv
  --bells N          the ring's number of bells (the files are its heaviest)
  --scale S          major (default; rings) or chromatic (chimes, carillons)
  --temperament T    equal (default), just, meantone, or a FILE of
                     "bell,cents" lines, cents above the tenor
  --stretch CENTS    cents per octave added to the scale (0)
  --pitch HZ         the reference A for the notes of the nominals (440)
  --anchor N         the bell the figures are relative to (the tenor)
  --units U          cents (default) or sixteenths of a semitone in the
                     tables and csv; JSON is always in cents

A tower's project file:
  --project P.campanor --bell N [--pass LABEL] FILE
                     FILE analysed and kept as bell N's next pass ("as
                     received", then "cut 1", ...; made when missing, of
                     --bells N bells, 8 without), then the bell's row
  --project P.campanor
                     the ring from each bell's latest pass, then every
                     bell's history
  --project P.campanor --bell N --pass LABEL --extract OUT.wav
                     the pass's recording as captured, and the options that
                     analyse OUT.wav again to the same figures

Calibration:
  --calibrate HZ     FILE holds a steady reference tone of HZ (a tuning
                     fork, a signal generator) recorded on the sound card
                     to be calibrated: the strongest peak within 5 % of HZ
                     is measured over the whole file (at most 30 s) with
                     the tuning report's precision, without any speed
                     adjustment, and the speed adjustment that corrects the
                     card (HZ / measured, 0.9 ... 1.1) is printed; with
                     --format json as {"calibration":{"reference":HZ,
                     "measured":F,"uncertainty":U,"speed_adjust":S}}

  -h, --help         this text
  --version          the version

Numbers are read and written with a decimal point whatever the locale.
Messages go to standard error; with several files and a terminal a
progress line is shown there.

Exit status: 0 all files analysed and written; 1 some file could not be
read (the reason is named), the trigger never fired, no reference tone was
found, the band was too
narrow for peak detection, or a result could not be written (the other
files are still analysed); 2 bad options, a bad ideal file or bad analysis
parameters.

Example:
  campanor-analyse --format table --low 400 --high 600 tenor.wav
  campanor-analyse --interval 0.25 --out-dir results/ recordings/*.flac
  campanor-analyse --format csv --ideal tempered recordings/*.wav > tuning.csv
  campanor-analyse --calibrate 440 fork.wav
  campanor-analyse --ring --temperament just treble.wav 2.wav 3.wav tenor.wav
  campanor-analyse --project tower.campanor --bell 6 --pass "cut 1" six.wav
)";
}
