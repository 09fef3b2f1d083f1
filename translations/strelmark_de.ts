<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AddFolder</name>
    <message>
        <source>Skipped: the name is not valid UTF-8</source>
        <translation>Übersprungen: der Name ist kein gültiges UTF-8</translation>
    </message>
    <message>
        <source>Skipped: a symbolic link to a file outside the searched folder</source>
        <translation>Übersprungen: ein symbolischer Link auf eine Datei außerhalb des durchsuchten Ordners</translation>
    </message>
    <message>
        <source>Skipped: a folder path of 260 characters or more</source>
        <translation>Übersprungen: ein Ordnerpfad mit 260 oder mehr Zeichen</translation>
    </message>
    <message>
        <source>Skipped: a folder name with a control character, &quot;?&quot; or U+FFFD</source>
        <translation>Übersprungen: ein Ordnername mit einem Steuerzeichen, &quot;?&quot; oder U+FFFD</translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 braucht einen Wert</translation>
    </message>
    <message>
        <source>%1 is not valid UTF-8</source>
        <translation>%1 ist kein gültiges UTF-8</translation>
    </message>
    <message>
        <source>unknown operation %1</source>
        <translation>unbekannte Operation %1</translation>
    </message>
    <message>
        <source>; did you mean &apos;%1&apos;?</source>
        <translation>; meinten Sie &apos;%1&apos;?</translation>
    </message>
    <message>
        <source> (one of %1)</source>
        <translation> (eine von %1)</translation>
    </message>
    <message>
        <source>%1 needs %2</source>
        <translation>%1 braucht %2</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>unbekannte Option %1</translation>
    </message>
    <message>
        <source>%1 needs a whole number from %2 to %3, not %4</source>
        <translation>%1 braucht eine ganze Zahl von %2 bis %3, nicht %4</translation>
    </message>
    <message>
        <source>--out needs a folder</source>
        <translation>--out braucht einen Ordner</translation>
    </message>
    <message>
        <source>an extension (* for every file)</source>
        <translation>eine Endung (* für jede Datei)</translation>
    </message>
    <message>
        <source>a glob</source>
        <translation>ein Muster</translation>
    </message>
    <message>
        <source>--exclude needs a glob</source>
        <translation>--exclude braucht ein Muster</translation>
    </message>
    <message>
        <source>--files-from needs a file (- for standard input)</source>
        <translation>--files-from braucht eine Datei (- für die Standardeingabe)</translation>
    </message>
    <message>
        <source>--encoding needs the name of a code page (one of %1), not %2</source>
        <translation>--encoding braucht den Namen einer Codepage (eine von %1), nicht %2</translation>
    </message>
    <message>
        <source>--color needs auto, always or never, not %1</source>
        <translation>--color braucht auto, always oder never, nicht %1</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 nimmt keinen Wert</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 ist zweimal angegeben</translation>
    </message>
    <message>
        <source>the PATH - (standard input) goes alone</source>
        <translation>der PFAD - (Standardeingabe) steht allein</translation>
    </message>
    <message>
        <source>the PATH - and --files-from cannot be used together</source>
        <translation>der PFAD - und --files-from gehen nicht zusammen</translation>
    </message>
    <message>
        <source>the PATH - (standard input) writes its result to standard output: leave out --out and --in-place</source>
        <translation>der PFAD - (Standardeingabe) schreibt sein Ergebnis in die Standardausgabe: lassen Sie --out und --in-place weg</translation>
    </message>
    <message>
        <source>remove needs an OPERATION</source>
        <translation>remove braucht eine OPERATION</translation>
    </message>
    <message>
        <source>line needs a number N, not %1</source>
        <translation>line braucht eine Zahl N, nicht %1</translation>
    </message>
    <message>
        <source>TEXT must not be empty</source>
        <translation>TEXT darf nicht leer sein</translation>
    </message>
    <message>
        <source>--diff and --json cannot be used together</source>
        <translation>--diff und --json gehen nicht zusammen</translation>
    </message>
    <message>
        <source>--crlf and --keep-line-ends cannot be used together</source>
        <translation>--crlf und --keep-line-ends gehen nicht zusammen</translation>
    </message>
    <message>
        <source>--null goes with --files-from</source>
        <translation>--null gehört zu --files-from</translation>
    </message>
    <message>
        <source>%1 does not go with standard input filtered to standard output</source>
        <translation>%1 passt nicht zur Filterung der Standardeingabe in die Standardausgabe</translation>
    </message>
    <message>
        <source>say where the results go: --out DIR or --in-place (exactly one)</source>
        <translation>sagen Sie, wohin die Ergebnisse gehen: --out DIR oder --in-place (genau eins)</translation>
    </message>
    <message>
        <source>no PATH given</source>
        <translation>kein PFAD angegeben</translation>
    </message>
    <message>
        <source>no PATH given (or pipe the text into standard input)</source>
        <translation>kein PFAD angegeben (oder leiten Sie den Text in die Standardeingabe)</translation>
    </message>
    <message>
        <source>--mkdir goes with --out DIR</source>
        <translation>--mkdir gehört zu --out DIR</translation>
    </message>
    <message>
        <source>--keep-tree and --flat cannot be used together</source>
        <translation>--keep-tree und --flat gehen nicht zusammen</translation>
    </message>
    <message>
        <source>%1 goes with --out DIR</source>
        <translation>%1 gehört zu --out DIR</translation>
    </message>
    <message>
        <source>undo takes no &apos;%1&apos;</source>
        <translation>undo nimmt kein &apos;%1&apos;</translation>
    </message>
    <message>
        <source>undo --list takes no RUN and no --dry-run</source>
        <translation>undo --list nimmt keinen LAUF und kein --dry-run</translation>
    </message>
    <message>
        <source>Where the results go (one of -o and -i; neither when filtering standard input):</source>
        <translation>Wohin die Ergebnisse gehen (-o oder -i; keins beim Filtern der Standardeingabe):</translation>
    </message>
    <message>
        <source>Which files a folder PATH gives (.git, .hg and .svn are never entered):</source>
        <translation>Welche Dateien ein Ordner-PFAD liefert (.git, .hg und .svn nie betreten):</translation>
    </message>
    <message>
        <source>Encodings and line ends:</source>
        <translation>Kodierungen und Zeilenenden:</translation>
    </message>
    <message>
        <source>What is printed:</source>
        <translation>Was ausgegeben wird:</translation>
    </message>
    <message>
        <source>Other:</source>
        <translation>Sonstiges:</translation>
    </message>
    <message>
        <source>There is no run to undo.
</source>
        <translation>Es gibt keinen Lauf zum Rückgängigmachen.
</translation>
    </message>
    <message>
        <source>in place, in %1</source>
        <translation>an Ort und Stelle, in %1</translation>
    </message>
    <message>
        <source>into %1</source>
        <translation>nach %1</translation>
    </message>
    <message>
        <source>started %1 by the %2: %3 %4</source>
        <translation>gestartet %1 von %2: %3 %4</translation>
    </message>
    <message>
        <source>command line</source>
        <translation>der Befehlszeile</translation>
    </message>
    <message>
        <source>window</source>
        <translation>dem Fenster</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 Datei</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 Dateien</translation>
    </message>
    <message>
        <source>still in progress</source>
        <translation>läuft noch</translation>
    </message>
    <message>
        <source>%1 of %2 can still be taken back</source>
        <translation>%1 von %2 noch rückgängig zu machen</translation>
    </message>
    <message>
        <source>strelmark: no folder for the undo store: set HOME or XDG_DATA_HOME
</source>
        <translation>strelmark: kein Ordner für den Rückgängig-Speicher: setzen Sie HOME oder XDG_DATA_HOME
</translation>
    </message>
    <message>
        <source>Undoing the run of the %1 started %2 (%3 files) would do this:
</source>
        <translation>Das Rückgängigmachen des Laufs von %1, gestartet %2 (%3 Dateien), würde Folgendes tun:
</translation>
    </message>
    <message>
        <source>Undid the run of the %1 started %2 (%3 files).
</source>
        <translation>Lauf von %1, gestartet %2 (%3 Dateien), rückgängig gemacht.
</translation>
    </message>
    <message>
        <source>strelmark: not restored, %1: %2
</source>
        <translation>strelmark: nicht wiederhergestellt, %1: %2
</translation>
    </message>
    <message>
        <source>there is no file or folder &apos;%1&apos;</source>
        <translation>es gibt keine Datei und keinen Ordner &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Try &apos;strelmark --help&apos; for more information.</source>
        <translation>&apos;strelmark --help&apos; gibt weitere Auskunft.</translation>
    </message>
    <message>
        <source>into the folder DIR: a folder PATH&apos;s files at their
path below that folder, a file PATH under its name</source>
        <translation>in den Ordner DIR: die Dateien eines Ordner-PFADS an
ihrem Pfad darunter, ein Datei-PFAD unter seinem Namen</translation>
    </message>
    <message>
        <source>in place of each input file</source>
        <translation>an die Stelle jeder Eingabedatei</translation>
    </message>
    <message>
        <source>create DIR and its parents when they are missing</source>
        <translation>DIR und übergeordnete Ordner anlegen, wenn sie fehlen</translation>
    </message>
    <message>
        <source>every result at its path below DIR, a file PATH&apos;s
too (its path from the current folder)</source>
        <translation>jedes Ergebnis an seinem Pfad unter DIR, auch das
eines Datei-PFADS (sein Pfad vom aktuellen Ordner)</translation>
    </message>
    <message>
        <source>every result in DIR itself, under its file name (the
window&apos;s rule: of two equal names the later wins)</source>
        <translation>jedes Ergebnis direkt in DIR unter seinem Dateinamen
(Regel des Fensters: bei gleichen Namen gewinnt der
spätere)</translation>
    </message>
    <message>
        <source>files named *.EXT (default html,htm; * for every
file); repeat it, or give a comma list</source>
        <translation>Dateien namens *.EXT (Vorgabe html,htm; * für jede
Datei); wiederholbar, oder eine Liste mit Kommas</translation>
    </message>
    <message>
        <source>only files whose path below the folder matches GLOB
(gitignore style, ** included); repeatable</source>
        <translation>nur Dateien, deren Pfad im Ordner auf GLOB passt
(wie gitignore, mit **); wiederholbar</translation>
    </message>
    <message>
        <source>leave out the files and whole folders that match
GLOB, never opening such a folder; repeatable</source>
        <translation>Dateien und ganze Ordner auslassen, die auf GLOB
passen, ohne solche Ordner zu öffnen; wiederholbar</translation>
    </message>
    <message>
        <source>take the hidden files too (names starting with .)</source>
        <translation>auch versteckte Dateien nehmen (Namen mit . vorn)</translation>
    </message>
    <message>
        <source>go at most N levels down (1: the folder&apos;s own files)</source>
        <translation>höchstens N Ebenen hinab (1: nur die eigenen Dateien)</translation>
    </message>
    <message>
        <source>leave out what .gitignore, .ignore and
.git/info/exclude files leave out</source>
        <translation>auslassen, was .gitignore-, .ignore- und
.git/info/exclude-Dateien auslassen</translation>
    </message>
    <message>
        <source>also the files that FILE names, one a line, in its
order (- for standard input)</source>
        <translation>auch die Dateien, die FILE nennt, eine je Zeile, in
ihrer Reihenfolge (- für die Standardeingabe)</translation>
    </message>
    <message>
        <source>the --files-from list ends each name with NUL</source>
        <translation>die Liste von --files-from endet jeden Namen mit NUL</translation>
    </message>
    <message>
        <source>files with a NUL byte are text too (as grep -a);
otherwise they are binary and left alone</source>
        <translation>Dateien mit NUL-Byte sind auch Text (wie grep -a);
sonst sind sie binär und bleiben unberührt</translation>
    </message>
    <message>
        <source>the code page of lines that are not UTF-8, in files
that name none (default windows-1252)</source>
        <translation>die Codepage von Zeilen, die nicht UTF-8 sind, in
Dateien ohne Angabe (Vorgabe windows-1252)</translation>
    </message>
    <message>
        <source>join the kept lines with CR LF, none after the last
(the window&apos;s rule)</source>
        <translation>die behaltenen Zeilen mit CR LF verbinden, keins nach
der letzten (Regel des Fensters)</translation>
    </message>
    <message>
        <source>each kept line keeps its own line end (the default):
a file of which nothing is removed stays as it is</source>
        <translation>jede behaltene Zeile behält ihr Zeilenende (Vorgabe):
eine Datei, aus der nichts entfernt wird, bleibt gleich</translation>
    </message>
    <message>
        <source>write nothing: list the files that would change</source>
        <translation>nichts schreiben: die Dateien nennen, die sich ändern</translation>
    </message>
    <message>
        <source>list the runs kept, newest first, numbered</source>
        <translation>die aufbewahrten Läufe nennen, neueste zuerst, nummeriert</translation>
    </message>
    <message>
        <source>write nothing: print a unified diff of the changes</source>
        <translation>nichts schreiben: die Änderungen als Unified Diff</translation>
    </message>
    <message>
        <source>one JSON object per file, then a summary object</source>
        <translation>ein JSON-Objekt je Datei, dann ein Übersichtsobjekt</translation>
    </message>
    <message>
        <source>no progress, summary or listing: only errors</source>
        <translation>ohne Fortschritt, Übersicht und Liste: nur Fehler</translation>
    </message>
    <message>
        <source>colour the diff and the outcomes: auto (on a
terminal, unless NO_COLOR is set), always or never</source>
        <translation>Diff und Ergebnisse färben: auto (im Terminal, außer
NO_COLOR ist gesetzt), always oder never</translation>
    </message>
    <message>
        <source>files worked on at once (default: the processors)</source>
        <translation>gleichzeitig bearbeitete Dateien (Vorgabe: Prozessoren)</translation>
    </message>
    <message>
        <source>print this help and exit</source>
        <translation>diese Hilfe ausgeben und beenden</translation>
    </message>
    <message>
        <source>print the version and exit</source>
        <translation>die Version ausgeben und beenden</translation>
    </message>
    <message>
        <source>--out %1 is not a folder</source>
        <translation>--out %1 ist kein Ordner</translation>
    </message>
    <message>
        <source>the folder %1 does not exist (--mkdir makes it)</source>
        <translation>der Ordner %1 existiert nicht (--mkdir legt ihn an)</translation>
    </message>
    <message>
        <source>cannot make the folder %1: %2</source>
        <translation>der Ordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>no folder for the undo store: set HOME or XDG_DATA_HOME (nothing was changed)</source>
        <translation>kein Ordner für den Rückgängig-Speicher: setzen Sie HOME oder XDG_DATA_HOME (nichts wurde geändert)</translation>
    </message>
    <message>
        <source>the undo store cannot be used: %1: %2 (nothing was changed)</source>
        <translation>der Rückgängig-Speicher ist nicht nutzbar: %1: %2 (nichts wurde geändert)</translation>
    </message>
    <message>
        <source>cannot write the output: %1</source>
        <translation>die Ausgabe kann nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>character</source>
        <translation>Zeichen</translation>
    </message>
    <message>
        <source>characters</source>
        <translation>Zeichen</translation>
    </message>
    <message>
        <source>line</source>
        <translation>Zeile</translation>
    </message>
    <message>
        <source>lines</source>
        <translation>Zeilen</translation>
    </message>
    <message>
        <source>%1 removed</source>
        <translation>%1 entfernt</translation>
    </message>
    <message>
        <source>Every line of %1 would be removed: no result is written.
</source>
        <translation>Jede Zeile von %1 würde entfernt: kein Ergebnis wird geschrieben.
</translation>
    </message>
    <message>
        <source>The result of %1 is the same text; it would be written to %2.
</source>
        <translation>Das Ergebnis von %1 ist derselbe Text; es würde nach %2 geschrieben.
</translation>
    </message>
    <message>
        <source>standard input holds a NUL byte (binary): passed through unchanged</source>
        <translation>die Standardeingabe enthält ein NUL-Byte (binär): unverändert durchgereicht</translation>
    </message>
    <message>
        <source>empty result, not written</source>
        <translation>leeres Ergebnis, nicht geschrieben</translation>
    </message>
    <message>
        <source>binary, left alone</source>
        <translation>binär, unberührt</translation>
    </message>
    <message>
        <source>cannot be decoded, left alone</source>
        <translation>nicht dekodierbar, unberührt</translation>
    </message>
    <message>
        <source>unreadable</source>
        <translation>nicht lesbar</translation>
    </message>
    <message>
        <source>cannot be written</source>
        <translation>nicht schreibbar</translation>
    </message>
    <message>
        <source>cannot be used</source>
        <translation>nicht nutzbar</translation>
    </message>
    <message>
        <source>; a run reads the result of file %1</source>
        <translation>; ein Lauf liest das Ergebnis von Datei %1</translation>
    </message>
    <message>
        <source>; replaces the result of file %1</source>
        <translation>; ersetzt das Ergebnis von Datei %1</translation>
    </message>
    <message>
        <source>%1/%2 files  %3 MB/s  </source>
        <translation>%1/%2 Dateien  %3 MB/s  </translation>
    </message>
    <message>
        <source>Stopped by %1. </source>
        <translation>Durch %1 angehalten. </translation>
    </message>
    <message>
        <source>Dry run, nothing written. </source>
        <translation>Probelauf, nichts geschrieben. </translation>
    </message>
    <message>
        <source>Done. </source>
        <translation>Fertig. </translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>would change</source>
        <translation>würden sich ändern</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>geändert</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>%1 fehlgeschlagen</translation>
    </message>
    <message>
        <source>, %1 binary (left alone)</source>
        <translation>, %1 binär (unberührt)</translation>
    </message>
    <message>
        <source>%1, %2 unchanged, %3 empty (%4)%5, %6</source>
        <translation>%1, %2 unverändert, %3 leer (%4)%5, %6</translation>
    </message>
    <message>
        <source>would not be written</source>
        <translation>würden nicht geschrieben</translation>
    </message>
    <message>
        <source>not written</source>
        <translation>nicht geschrieben</translation>
    </message>
    <message>
        <source>, %1 not processed</source>
        <translation>, %1 nicht bearbeitet</translation>
    </message>
    <message>
        <source>; %1 removed; %2 s.
</source>
        <translation>; %1 entfernt; %2 s.
</translation>
    </message>
    <message>
        <source>stopped by %1; %2 not processed</source>
        <translation>durch %1 angehalten; %2 nicht bearbeitet</translation>
    </message>
    <message>
        <source>file was</source>
        <translation>Datei wurde</translation>
    </message>
    <message>
        <source>files were</source>
        <translation>Dateien wurden</translation>
    </message>
    <message>
        <source>remove every line that contains TEXT</source>
        <translation>jede Zeile entfernen, die TEXT enthält</translation>
    </message>
    <message>
        <source>remove the lines without TEXT, and empty lines</source>
        <translation>Zeilen ohne TEXT und leere Zeilen entfernen</translation>
    </message>
    <message>
        <source>remove every occurrence of TEXT from each line</source>
        <translation>jedes Vorkommen von TEXT aus jeder Zeile entfernen</translation>
    </message>
    <message>
        <source>keep only the occurrences of TEXT; other lines go</source>
        <translation>nur Vorkommen von TEXT behalten; andere Zeilen weg</translation>
    </message>
    <message>
        <source>remove line number N (counted from 1)</source>
        <translation>Zeile Nummer N entfernen (ab 1 gezählt)</translation>
    </message>
    <message>
        <source>remove empty lines (a line of blanks stays)</source>
        <translation>leere Zeilen entfernen (Leerzeichen bleiben)</translation>
    </message>
    <message>
        <source>undo --list takes no --force</source>
        <translation>undo --list nimmt kein --force</translation>
    </message>
    <message>
        <source>Usage: strelmark undo [RUN] [-n | --dry-run] [--force] [-q | --quiet]
       strelmark undo -l | --list

Takes a run back, of the window or of the command line: every file it replaced
is put back, every file it created is removed, and a file changed since the run
is left alone. Without RUN, the last run; RUN is a run&apos;s number or name as
--list shows them (1 is the newest).

  -l, --list      the runs kept: when, where, how many files, what was done,
                  and how many of their files can still be taken back
  -n, --dry-run   change nothing: tell what the undo would do to each file
      --force     a run whose record does not read whole: put back what the
                  part that reads names
  -q, --quiet     print only errors
  -h, --help      print this help and exit
  -V, --version   print the version and exit
</source>
        <translation>Aufruf: strelmark undo [LAUF] [-n | --dry-run] [--force] [-q | --quiet]
        strelmark undo -l | --list

Nimmt einen Lauf des Fensters oder der Befehlszeile zurück: jede Datei, die er
ersetzt hat, kommt zurück, jede, die er angelegt hat, wird entfernt, und eine
seitdem geänderte Datei bleibt unberührt. Ohne LAUF der letzte Lauf; LAUF ist
die Nummer oder der Name eines Laufs, wie --list sie zeigt (1 ist der neueste).

  -l, --list      die aufbewahrten Läufe: wann, wo, wie viele Dateien, was
                  getan wurde und wie viele Dateien noch zurückkommen können
  -n, --dry-run   nichts ändern: sagen, was Zurücknehmen mit jeder Datei täte
      --force     einen Lauf mit nicht ganz lesbarer Aufzeichnung: zurück,
                  was ihr lesbarer Teil nennt
  -q, --quiet     nur Fehler ausgeben
  -h, --help      diese Hilfe ausgeben und beenden
  -V, --version   die Version ausgeben und beenden
</translation>
    </message>
    <message>
        <source>undo a run whose record does not read whole: put
back what the part that reads names</source>
        <translation>einen Lauf zurücknehmen, dessen Aufzeichnung nicht
ganz lesbar ist: was ihr lesbarer Teil nennt</translation>
    </message>
    <message>
        <source>, %1 skipped by the folder search</source>
        <translation>, %1 von der Ordnersuche übersprungen</translation>
    </message>
    <message>
        <source>Skipped: the path is longer than the system allows</source>
        <translation>Übersprungen: der Pfad ist länger, als das System erlaubt</translation>
    </message>
    <message>
        <source>Skipped: the name is not valid UTF-8</source>
        <translation>Übersprungen: der Name ist kein gültiges UTF-8</translation>
    </message>
    <message>
        <source>Skipped: a symbolic link to a file outside the searched folder</source>
        <translation>Übersprungen: ein symbolischer Link auf eine Datei außerhalb des durchsuchten Ordners</translation>
    </message>
    <message>
        <source>waiting for another run to finish</source>
        <translation>warte, bis ein anderer Lauf fertig ist</translation>
    </message>
    <message>
        <source>replace needs TEXT and WITH</source>
        <translation>replace braucht TEXT und WITH</translation>
    </message>
    <message>
        <source>How TEXT is matched (by default: literally, letter case ignored):</source>
        <translation>Wie TEXT verglichen wird (sonst wörtlich, Groß-/Kleinschreibung egal):</translation>
    </message>
    <message>
        <source>Usage: strelmark remove OPERATION [TEXT|N] (-o DIR | -i) [options] PATH...
       strelmark remove OPERATION [TEXT|N] [options] &lt; INPUT &gt; OUTPUT
       strelmark replace TEXT WITH (-o DIR | -i) [options] PATH...
                                    replace every match of TEXT by WITH
       strelmark undo [RUN | --list] [--dry-run] [--force] [-q]
                                    take a run back, the last by default
       strelmark --help | --version
       strelmark [FILE|FOLDER]...   start the window, these in its list

Removes lines or characters from many text files at once, as the window does.

Operations:
</source>
        <translation>Aufruf: strelmark remove OPERATION [TEXT|N] (-o DIR | -i) [Optionen] PFAD...
        strelmark remove OPERATION [TEXT|N] [Optionen] &lt; EINGABE &gt; AUSGABE
        strelmark replace TEXT WITH (-o DIR | -i) [Optionen] PFAD...
                                     jeden Treffer von TEXT durch WITH ersetzen
        strelmark undo [LAUF | --list] [--dry-run] [--force] [-q]
                                     einen Lauf zurücknehmen, sonst den letzten
        strelmark --help | --version
        strelmark [DATEI|ORDNER]...  das Fenster öffnen, diese in seiner Liste

Entfernt Zeilen oder Zeichen aus vielen Textdateien auf einmal, wie das
Fenster.

Operationen:
</translation>
    </message>
    <message>
        <source>TEXT is taken whole, never trimmed, and compared without regard to letter
case; it must not be empty. N is any number, rounded half to even. replace
takes every option of remove; WITH is literal unless --regex is given.
</source>
        <translation>TEXT wird ganz genommen, nie gekürzt, und ohne Rücksicht auf Groß- und
Kleinschreibung verglichen; er darf nicht leer sein. N ist eine beliebige Zahl,
auf die nächste gerade gerundet, wenn sie genau dazwischen liegt.
replace nimmt alle Optionen von remove; WITH ist wörtlich, außer mit --regex.
</translation>
    </message>
    <message>
        <source>
A PATH that is a folder is searched level by level; any other PATH is taken
as given. With no PATH, -o or -i, standard input is filtered to standard
output, as sed does (so is the PATH -), and nothing is kept for undo. Put --
before PATHs that start with &quot;-&quot;. A result with no line left is not written;
a result that equals the file already there is not rewritten. Every run that
writes keeps what it replaces: `strelmark undo` takes it back.

Exit status: 0 all done, 1 some files failed, 2 usage error,
130 or 143 stopped by SIGINT or SIGTERM (what was finished is kept).

Examples:
  strelmark remove lines-containing &apos;meta http&apos; -o ~/site-new --mkdir ~/site
  strelmark remove blank-lines -e txt,md -E drafts -i -n notes/
  find site -print0 | strelmark remove text &apos;&lt;br&gt;&apos; -i --files-from - -0
  curl -s URL | strelmark remove lines-containing &apos;&lt;script&apos; &gt; page.html
  strelmark replace --regex &apos;(\w+)@old\.example&apos; &apos;$1@new.example&apos; -i site/
  strelmark remove lines-containing -w --match-case cat -i notes.txt

See strelmark(1) for the details and the JSON fields.
</source>
        <translation>
Ein PFAD, der ein Ordner ist, wird Ebene für Ebene durchsucht; jeder andere
PFAD wird genommen, wie er ist. Ohne PFAD, -o oder -i wird die Standardeingabe
in die Standardausgabe gefiltert, wie sed es tut (ebenso beim PFAD -), und
nichts wird zum Rückgängigmachen aufbewahrt. Setzen Sie -- vor PFADE, die mit
&quot;-&quot; beginnen. Ein Ergebnis ohne verbliebene Zeile wird nicht geschrieben; ein
Ergebnis, das der schon vorhandenen Datei gleicht, wird nicht neu geschrieben.
Jeder Lauf, der schreibt, bewahrt auf, was er ersetzt: `strelmark undo` nimmt
ihn zurück.

Rückgabewert: 0 alles erledigt, 1 einige Dateien fehlgeschlagen, 2
Aufruffehler, 130 oder 143 durch SIGINT oder SIGTERM angehalten (Fertiges
bleibt erhalten).

Beispiele:
  strelmark remove lines-containing &apos;meta http&apos; -o ~/site-new --mkdir ~/site
  strelmark remove blank-lines -e txt,md -E drafts -i -n notes/
  find site -print0 | strelmark remove text &apos;&lt;br&gt;&apos; -i --files-from - -0
  curl -s URL | strelmark remove lines-containing &apos;&lt;script&apos; &gt; page.html
  strelmark replace --regex &apos;(\w+)@old\.example&apos; &apos;$1@new.example&apos; -i site/
  strelmark remove lines-containing -w --match-case cat -i notes.txt

Einzelheiten und die JSON-Felder beschreibt strelmark(1).
</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos; (remove, replace, undo, --help, --version)</source>
        <translation>unbekannter Befehl &apos;%1&apos; (remove, replace, undo, --help, --version)</translation>
    </message>
    <message>
        <source>letter case counts: &quot;a&quot; is no &quot;A&quot;</source>
        <translation>Groß- und Kleinschreibung zählt: &quot;a&quot; ist kein &quot;A&quot;</translation>
    </message>
    <message>
        <source>only whole words: a match with no letter, digit or
underscore just before or after it</source>
        <translation>nur ganze Wörter: ein Treffer ohne Buchstabe, Ziffer
oder Unterstrich direkt davor oder danach</translation>
    </message>
    <message>
        <source>TEXT is a regular expression (Perl-compatible,
PCRE2); with replace, WITH may name groups: $1,
${name}, and $$ for a dollar</source>
        <translation>TEXT ist ein regulärer Ausdruck (Perl-kompatibel,
PCRE2); bei replace darf WITH Gruppen nennen: $1,
${name}, und $$ für ein Dollarzeichen</translation>
    </message>
</context>
<context>
    <name>CodePages</name>
    <message>
        <source>Central European</source>
        <translation>Mitteleuropäisch</translation>
    </message>
    <message>
        <source>Cyrillic</source>
        <translation>Kyrillisch</translation>
    </message>
    <message>
        <source>Western European</source>
        <translation>Westeuropäisch</translation>
    </message>
    <message>
        <source>Greek</source>
        <translation>Griechisch</translation>
    </message>
    <message>
        <source>Turkish</source>
        <translation>Türkisch</translation>
    </message>
    <message>
        <source>Hebrew</source>
        <translation>Hebräisch</translation>
    </message>
    <message>
        <source>Arabic</source>
        <translation>Arabisch</translation>
    </message>
    <message>
        <source>Baltic</source>
        <translation>Baltisch</translation>
    </message>
    <message>
        <source>Vietnamese</source>
        <translation>Vietnamesisch</translation>
    </message>
    <message>
        <source>South European</source>
        <translation>Südeuropäisch</translation>
    </message>
    <message>
        <source>North European</source>
        <translation>Nordeuropäisch</translation>
    </message>
    <message>
        <source>Nordic</source>
        <translation>Nordisch</translation>
    </message>
    <message>
        <source>Thai</source>
        <translation>Thailändisch</translation>
    </message>
    <message>
        <source>Celtic</source>
        <translation>Keltisch</translation>
    </message>
    <message>
        <source>Western European, with the euro</source>
        <translation>Westeuropäisch, mit Euro</translation>
    </message>
    <message>
        <source>South-Eastern European</source>
        <translation>Südosteuropäisch</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Russisch</translation>
    </message>
    <message>
        <source>Ukrainian</source>
        <translation>Ukrainisch</translation>
    </message>
</context>
<context>
    <name>Encoding</name>
    <message>
        <source>Binary</source>
        <translation>Binär</translation>
    </message>
    <message>
        <source>Cannot be decoded as </source>
        <translation>Nicht dekodierbar als </translation>
    </message>
</context>
<context>
    <name>ErrorReport</name>
    <message>
        <source>at line </source>
        <translation>in Zeile </translation>
    </message>
    <message>
        <source>Please email screenshot of this message to </source>
        <translation>Bitte senden Sie ein Bildschirmfoto dieser Meldung an </translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Anwendungsfehler</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Kein Speicher mehr</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>Typen unverträglich</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>Überlauf</translation>
    </message>
    <message>
        <source>Invalid procedure call or argument</source>
        <translation>Unzulässiger Prozeduraufruf oder unzulässiges Argument</translation>
    </message>
    <message>
        <source>Invalid property value</source>
        <translation>Unzulässiger Eigenschaftswert</translation>
    </message>
</context>
<context>
    <name>FileError</name>
    <message>
        <source>Is a named pipe, not a regular file</source>
        <translation>Ist eine benannte Pipe, keine reguläre Datei</translation>
    </message>
    <message>
        <source>Is a socket, not a regular file</source>
        <translation>Ist ein Socket, keine reguläre Datei</translation>
    </message>
    <message>
        <source>Is a device, not a regular file</source>
        <translation>Ist ein Gerät, keine reguläre Datei</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>Keine reguläre Datei</translation>
    </message>
    <message>
        <source>Not writing through a dangling symbolic link</source>
        <translation>Kein Schreiben durch einen symbolischen Link ins Leere</translation>
    </message>
</context>
<context>
    <name>FileListModel</name>
    <message>
        <source>HTML File(s)</source>
        <translation>HTML-Datei(en)</translation>
    </message>
</context>
<context>
    <name>FileListView</name>
    <message>
        <source>Drag and drop files here. Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <translation>Dateien hierher ziehen. Doppelklick auf einen Eintrag entfernt ihn. Die Linie | nach rechts aus dem Fenster ziehen, um ganze Namen zu sehen.</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>Please select folder:</source>
        <translation>Bitte Ordner wählen:</translation>
    </message>
    <message>
        <source>Add File(s) - Hold Ctrl to select multiple files</source>
        <translation>Datei(en) hinzufügen – Strg halten, um mehrere zu wählen</translation>
    </message>
    <message>
        <source>HTML Files (*.htm*)</source>
        <translation>HTML-Dateien (*.htm*)</translation>
    </message>
    <message>
        <source>You&apos;ve selected too many files to add.<byte value="xd"/><byte value="xd"/>Please try adding via the &quot;Add All&quot; button.</source>
        <translation>Sie haben zu viele Dateien zum Hinzufügen gewählt.<byte value="xd"/><byte value="xd"/>Bitte fügen Sie sie über die Schaltfläche „Alle hinzufügen“ hinzu.</translation>
    </message>
    <message>
        <source>Enter file extension to load:<byte value="xd"/><byte value="xd"/>(* for all files, txt for all txt files, doc for all doc files, etc.)</source>
        <translation>Dateiendung zum Laden eingeben:<byte value="xd"/><byte value="xd"/>(* für alle Dateien, txt für alle txt-Dateien, doc für alle doc-Dateien usw.)</translation>
    </message>
    <message>
        <source>Add HTML Files</source>
        <translation>HTML-Dateien hinzufügen</translation>
    </message>
    <message>
        <source>Add All HTML Files In Folder</source>
        <translation>Alle HTML-Dateien im Ordner</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Liste leeren</translation>
    </message>
    <message>
        <source>Load Sample/Example Files</source>
        <translation>Beispieldateien laden</translation>
    </message>
    <message>
        <source>Condition Options</source>
        <translation>Bedingung</translation>
    </message>
    <message>
        <source>If file contains</source>
        <translation>Datei enthält</translation>
    </message>
    <message>
        <source>Then</source>
        <translation>Dann</translation>
    </message>
    <message>
        <source>Save Option</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Save results to this folder:</source>
        <translation>In diesen Ordner speichern:</translation>
    </message>
    <message>
        <source>Save results in folder of original file</source>
        <translation>Im Ordner der Originaldatei</translation>
    </message>
    <message>
        <source>Start Removing</source>
        <translation>Entfernen starten</translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Preview...</source>
        <translation>Vorschau...</translation>
    </message>
    <message>
        <source>Preview 1 file...</source>
        <translation>Vorschau für 1 Datei...</translation>
    </message>
    <message>
        <source>Preview %1 files...</source>
        <translation>Vorschau für %1 Dateien...</translation>
    </message>
    <message>
        <source>Undo Runs...</source>
        <translation>Läufe rückgängig machen...</translation>
    </message>
    <message>
        <source>Keep each file&apos;s line ends</source>
        <translation>Zeilenenden jeder Datei behalten</translation>
    </message>
    <message>
        <source>Other files are in</source>
        <translation>Andere Dateien sind in</translation>
    </message>
    <message>
        <source>HTML File(s)</source>
        <translation>HTML-Datei(en)</translation>
    </message>
    <message>
        <source>Output folder</source>
        <translation>Zielordner</translation>
    </message>
    <message>
        <source>Choose output folder</source>
        <translation>Zielordner wählen</translation>
    </message>
    <message>
        <source>&quot;Keep each file&apos;s line ends&quot; has changed since the preview. Preview again to see what the run would do.</source>
        <translation>„Zeilenenden jeder Datei behalten“ hat sich seit der Vorschau geändert. Öffnen Sie die Vorschau erneut, um zu sehen, was der Lauf täte.</translation>
    </message>
    <message>
        <source>To take this run back: &quot;Undo Last Run&quot; in the list&apos;s menu (right-click on the list), Ctrl+Z, or the command &quot;strelmark undo&quot;.</source>
        <translation>Um diesen Lauf zurückzunehmen: „Letzten Lauf rückgängig“ im Menü der Liste (Rechtsklick auf die Liste), Strg+Z oder der Befehl „strelmark undo“.</translation>
    </message>
    <message>
        <source>in place, %1</source>
        <translation>an Ort und Stelle, %1</translation>
    </message>
    <message>
        <source>in progress</source>
        <translation>läuft</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source><byte value="xd"/><byte value="xd"/>The details list the files left as they are.</source>
        <translation><byte value="xd"/><byte value="xd"/>Die Einzelheiten nennen die Dateien, die blieben, wie sie sind.</translation>
    </message>
    <message>
        <source>byte</source>
        <translation>Byte</translation>
    </message>
    <message>
        <source>bytes</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>Undo Last Run</source>
        <translation>Letzten Lauf rückgängig</translation>
    </message>
    <message>
        <source>Undo Last Run (%1 %2, %3)</source>
        <translation>Letzten Lauf rückgängig (%1 %2, %3)</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>1 file in the list.</source>
        <translation>1 Datei in der Liste.</translation>
    </message>
    <message>
        <source>%1 files in the list.</source>
        <translation>%1 Dateien in der Liste.</translation>
    </message>
    <message>
        <source>(no home folder)</source>
        <translation>(kein Home-Ordner)</translation>
    </message>
    <message>
        <source>This run cannot be taken back: the undo store cannot be used (</source>
        <translation>Dieser Lauf ist nicht rücknehmbar: der Rückgängig-Speicher ist nicht nutzbar (</translation>
    </message>
    <message>
        <source>Stop the run?</source>
        <translation>Lauf anhalten?</translation>
    </message>
    <message>
        <source>There is no run to undo.</source>
        <translation>Es gibt keinen Lauf zum Rückgängigmachen.</translation>
    </message>
    <message>
        <source>Undo the last run?<byte value="xd"/><byte value="xd"/>%1 it replaced or created (started %2) go back to what they were before it: each file it replaced is put back, each file it created is removed. A file changed since the run is left alone.</source>
        <translation>Den letzten Lauf rückgängig machen?<byte value="xd"/><byte value="xd"/>%1, die er ersetzt oder angelegt hat (gestartet %2), werden wieder wie vorher: jede ersetzte Datei kommt zurück, jede angelegte wird entfernt. Eine seitdem geänderte Datei bleibt unberührt.</translation>
    </message>
    <message>
        <source>The file</source>
        <translation>Die Datei</translation>
    </message>
    <message>
        <source>The %1 files</source>
        <translation>Die %1 Dateien</translation>
    </message>
    <message>
        <source>The last run is undone: </source>
        <translation>Der letzte Lauf ist rückgängig gemacht: </translation>
    </message>
    <message>
        <source>The runs kept, newest first. The run chosen goes back as &quot;Undo Last Run&quot; takes back the last: each file it replaced is put back, each file it created is removed, and a file edited since is left alone.</source>
        <translation>Die aufbewahrten Läufe, neueste zuerst. Der gewählte Lauf wird zurückgenommen wie mit „Letzten Lauf rückgängig“: jede ersetzte Datei kommt zurück, jede angelegte wird entfernt, und eine seitdem bearbeitete Datei bleibt unberührt.</translation>
    </message>
    <message>
        <source>Started</source>
        <translation>Gestartet</translation>
    </message>
    <message>
        <source>Where</source>
        <translation>Wo</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>Can restore</source>
        <translation>Rücknehmbar</translation>
    </message>
    <message>
        <source>Undo Run</source>
        <translation>Lauf rückgängig</translation>
    </message>
    <message>
        <source>Undo Runs</source>
        <translation>Läufe rückgängig machen</translation>
    </message>
    <message>
        <source>Undo the run started %1?<byte value="xd"/><byte value="xd"/>%2<byte value="xd"/>%3: %4<byte value="xd"/><byte value="xd"/>A file changed since the run is left alone.</source>
        <translation>Den Lauf vom %1 rückgängig machen?<byte value="xd"/><byte value="xd"/>%2<byte value="xd"/>%3: %4<byte value="xd"/><byte value="xd"/>Eine seitdem geänderte Datei bleibt unberührt.</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 Datei</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 Dateien</translation>
    </message>
    <message>
        <source>The run is undone: </source>
        <translation>Der Lauf ist rückgängig gemacht: </translation>
    </message>
    <message>
        <source>Waiting for another run to finish</source>
        <translation>Warte auf einen anderen Lauf</translation>
    </message>
    <message>
        <source>Match case</source>
        <translation>Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>Whole words</source>
        <translation>Ganze Wörter</translation>
    </message>
    <message>
        <source>Regular expression</source>
        <translation>Regulärer Ausdruck</translation>
    </message>
    <message>
        <source>How the text is matched has changed since the preview. Preview again to see what the run would do.</source>
        <translation>Die Art des Vergleichs hat sich seit der Vorschau geändert. Zeigen Sie die Vorschau erneut, um zu sehen, was der Lauf täte.</translation>
    </message>
</context>
<context>
    <name>Operations</name>
    <message>
        <source>Remove all lines containing those characters</source>
        <translation>Alle Zeilen mit diesen Zeichen entfernen</translation>
    </message>
    <message>
        <source>Remove all lines not containing those characters</source>
        <translation>Alle Zeilen ohne diese Zeichen entfernen</translation>
    </message>
    <message>
        <source>Remove all characters except those characters</source>
        <translation>Alle Zeichen außer diesen entfernen</translation>
    </message>
    <message>
        <source>Remove line number n in all files</source>
        <translation>Zeile Nummer n in allen Dateien entfernen</translation>
    </message>
    <message>
        <source>Remove blank lines in all files</source>
        <translation>Leere Zeilen in allen Dateien entfernen</translation>
    </message>
    <message>
        <source>Remove those characters</source>
        <translation>Diese Zeichen entfernen</translation>
    </message>
</context>
<context>
    <name>PointerPicture</name>
    <message>
        <source>Invalid picture</source>
        <translation>Ungültiges Bild</translation>
    </message>
</context>
<context>
    <name>PreviewDialog</name>
    <message>
        <source>Reading %1 ...</source>
        <translation>%1 wird gelesen ...</translation>
    </message>
    <message>
        <source>%1: line ends only; no line would change, but the result has CR LF between its lines and none after the last.</source>
        <translation>%1: nur Zeilenenden; keine Zeile würde sich ändern, aber das Ergebnis hat CR LF zwischen den Zeilen und keins nach der letzten.</translation>
    </message>
    <message>
        <source>%1: no line would change.</source>
        <translation>%1: keine Zeile würde sich ändern.</translation>
    </message>
    <message>
        <source>%1: %2 removed; first change at line %3.</source>
        <translation>%1: %2 entfernt; erste Änderung in Zeile %3.</translation>
    </message>
    <message>
        <source> Showing lines %1 to %2; the file goes on.</source>
        <translation> Gezeigt: Zeilen %1 bis %2; die Datei geht weiter.</translation>
    </message>
    <message>
        <source> The run would read row %1&apos;s result here; this is the file as it is now.</source>
        <translation> Der Lauf würde hier das Ergebnis von Zeile %1 lesen; dies ist die Datei, wie sie jetzt ist.</translation>
    </message>
    <message>
        <source>(empty line)</source>
        <translation>(leere Zeile)</translation>
    </message>
    <message>
        <source> … (%1 more bytes)</source>
        <translation> … (%1 Bytes mehr)</translation>
    </message>
    <message>
        <source>Select a file to see its lines, with what would be removed marked.</source>
        <translation>Wählen Sie eine Datei, um ihre Zeilen zu sehen; was entfernt würde, ist markiert.</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Preview progress</source>
        <translation>Fortschritt der Vorschau</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Would remove</source>
        <translation>Würde entfernen</translation>
    </message>
    <message>
        <source>What would happen</source>
        <translation>Was geschähe</translation>
    </message>
    <message>
        <source>Lines of the selected file</source>
        <translation>Zeilen der gewählten Datei</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>Runs the ticked rows, in this order, as &quot;Start Removing&quot; would</source>
        <translation>Führt die angehakten Zeilen in dieser Reihenfolge aus, wie „Entfernen starten“ es täte</translation>
    </message>
    <message>
        <source>written</source>
        <translation>geschrieben</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>unverändert</translation>
    </message>
    <message>
        <source>empty — not written</source>
        <translation>leer – nicht geschrieben</translation>
    </message>
    <message>
        <source>binary — left alone</source>
        <translation>binär – unberührt</translation>
    </message>
    <message>
        <source>left alone: </source>
        <translation>unberührt: </translation>
    </message>
    <message>
        <source>cannot be read: </source>
        <translation>nicht lesbar: </translation>
    </message>
    <message>
        <source>cannot be written: </source>
        <translation>nicht schreibbar: </translation>
    </message>
    <message>
        <source>would overwrite the result of an earlier row (row %1)</source>
        <translation>würde das Ergebnis einer früheren Zeile überschreiben (Zeile %1)</translation>
    </message>
    <message>
        <source>reads the result of an earlier row (row %1), not known yet</source>
        <translation>liest das Ergebnis einer früheren Zeile (Zeile %1), noch nicht bekannt</translation>
    </message>
    <message>
        <source>Previewing: %1 (%2 of %3)</source>
        <translation>Vorschau: %1 (%2 von %3)</translation>
    </message>
    <message>
        <source>, line %1</source>
        <translation>, Zeile %1</translation>
    </message>
    <message>
        <source> with &quot;%1&quot;</source>
        <translation> mit „%1“</translation>
    </message>
    <message>
        <source>What &quot;Start Removing&quot; would do now: %1, %2. Nothing is written.</source>
        <translation>„Entfernen starten“ täte jetzt: %1, %2. Nichts wird geschrieben.</translation>
    </message>
    <message>
        <source>results into </source>
        <translation>Ergebnisse nach </translation>
    </message>
    <message>
        <source>each result in place of its file</source>
        <translation>jedes Ergebnis an die Stelle seiner Datei</translation>
    </message>
    <message>
        <source>
Result: </source>
        <translation>
Ergebnis: </translation>
    </message>
    <message>
        <source>line ends only</source>
        <translation>nur Zeilenenden</translation>
    </message>
    <message>
        <source>character</source>
        <translation>Zeichen</translation>
    </message>
    <message>
        <source>characters</source>
        <translation>Zeichen</translation>
    </message>
    <message>
        <source>line</source>
        <translation>Zeile</translation>
    </message>
    <message>
        <source>lines</source>
        <translation>Zeilen</translation>
    </message>
    <message>
        <source>cannot be decoded</source>
        <translation>nicht dekodierbar</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>nicht lesbar</translation>
    </message>
    <message>
        <source>cannot be written</source>
        <translation>nicht schreibbar</translation>
    </message>
    <message>
        <source>would overwrite the result of an earlier row</source>
        <translation>würden ein früheres Ergebnis überschreiben</translation>
    </message>
    <message>
        <source>read the result of an earlier row</source>
        <translation>lesen ein früheres Ergebnis</translation>
    </message>
    <message>
        <source>Stopped after %1 of %2 files</source>
        <translation>Angehalten nach %1 von %2 Dateien</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 Datei</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 Dateien</translation>
    </message>
    <message>
        <source>%1 unticked: Apply leaves them out.</source>
        <translation>%1 nicht angehakt: Anwenden lässt sie aus.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>„%1“</translation>
    </message>
    <message>
        <source>pattern too complex</source>
        <translation>Muster zu aufwendig</translation>
    </message>
</context>
<context>
    <name>Run</name>
    <message>
        <source>Out of memory</source>
        <translation>Kein Speicher mehr</translation>
    </message>
</context>
<context>
    <name>RunDriver</name>
    <message>
        <source>Processing: </source>
        <translation>In Arbeit: </translation>
    </message>
    <message>
        <source>No files added.</source>
        <translation>Keine Dateien hinzugefügt.</translation>
    </message>
    <message>
        <source>Please choose where to save the results.</source>
        <translation>Bitte wählen Sie, wo die Ergebnisse gespeichert werden.</translation>
    </message>
    <message>
        <source>Folder does not exist. Please select another folder.</source>
        <translation>Der Ordner existiert nicht. Bitte wählen Sie einen anderen Ordner.</translation>
    </message>
    <message>
        <source>Please provide text for: </source>
        <translation>Bitte Text angeben für: </translation>
    </message>
    <message>
        <source>Enter row number n: </source>
        <translation>Zeilennummer n eingeben: </translation>
    </message>
    <message>
        <source>Input Row Number n</source>
        <translation>Zeilennummer n</translation>
    </message>
    <message>
        <source>Must be numeric value.</source>
        <translation>Muss ein Zahlenwert sein.</translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Fertig.</translation>
    </message>
</context>
<context>
    <name>RunSummary</name>
    <message>
        <source>Stopped after %1 of %2 files.</source>
        <translation>Angehalten nach %1 von %2 Dateien.</translation>
    </message>
    <message>
        <source>1 file.</source>
        <translation>1 Datei.</translation>
    </message>
    <message>
        <source>%1 files.</source>
        <translation>%1 Dateien.</translation>
    </message>
    <message>
        <source>Written: %1</source>
        <translation>Geschrieben: %1</translation>
    </message>
    <message>
        <source>Unchanged (not rewritten): %1</source>
        <translation>Unverändert (nicht neu geschrieben): %1</translation>
    </message>
    <message>
        <source>Empty results (not written): %1</source>
        <translation>Leere Ergebnisse (nicht geschrieben): %1</translation>
    </message>
    <message>
        <source>Binary files (left alone): %1</source>
        <translation>Binärdateien (unberührt): %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Output names written more than once: %1</source>
        <translation>Mehrfach geschriebene Zielnamen: %1</translation>
    </message>
    <message>
        <source>%1 (%2 times)</source>
        <translation>%1 (%2-mal)</translation>
    </message>
    <message>
        <source>Skipped by the folder search: %1</source>
        <translation>Von der Ordnersuche übersprungen: %1</translation>
    </message>
    <message>
        <source>Matched with: %1</source>
        <translation>Verglichen mit: %1</translation>
    </message>
    <message>
        <source>Pattern too complex (left alone): %1</source>
        <translation>Muster zu aufwendig (unberührt gelassen): %1</translation>
    </message>
</context>
<context>
    <name>Samples</name>
    <message>
        <source>Would you like this software to open the folder where these sample files are stored (so that you can view them before working with them)?</source>
        <translation>Soll das Programm den Ordner öffnen, in dem diese Beispieldateien liegen (damit Sie sie ansehen können, bevor Sie damit arbeiten)?</translation>
    </message>
</context>
<context>
    <name>StartUp</name>
    <message>
        <source>The web browser could not be started.</source>
        <translation>Der Webbrowser konnte nicht gestartet werden.</translation>
    </message>
</context>
<context>
    <name>Undo</name>
    <message>
        <source>There is no run to undo.</source>
        <translation>Es gibt keinen Lauf zum Rückgängigmachen.</translation>
    </message>
    <message>
        <source>That run is still in progress; undo it when it has ended.</source>
        <translation>Dieser Lauf ist noch im Gang; nehmen Sie ihn zurück, wenn er beendet ist.</translation>
    </message>
    <message>
        <source>The last run is still in progress; undo it when it has ended.</source>
        <translation>Der letzte Lauf ist noch im Gang; nehmen Sie ihn zurück, wenn er beendet ist.</translation>
    </message>
    <message>
        <source>There is no such run to undo (it was undone, or dropped as too old).</source>
        <translation>Diesen Lauf gibt es nicht mehr (er wurde zurückgenommen oder als zu alt verworfen).</translation>
    </message>
    <message>
        <source>The undo store cannot be used: </source>
        <translation>Der Rückgängig-Speicher ist nicht nutzbar: </translation>
    </message>
    <message>
        <source>%1 to restore, %2 to remove, %3 to leave alone; nothing was changed.</source>
        <translation>%1 wiederherzustellen, %2 zu entfernen, %3 unberührt zu lassen; nichts wurde geändert.</translation>
    </message>
    <message>
        <source>Would restore: %1</source>
        <translation>Würde wiederherstellen: %1</translation>
    </message>
    <message>
        <source>Would remove: %1</source>
        <translation>Würde entfernen: %1</translation>
    </message>
    <message>
        <source>Would leave alone, no longer there: %1</source>
        <translation>Bliebe unberührt, nicht mehr vorhanden: %1</translation>
    </message>
    <message>
        <source>Would leave alone, changed since the run: %1</source>
        <translation>Bliebe unberührt, seit dem Lauf geändert: %1</translation>
    </message>
    <message>
        <source>Would leave alone, %1: %2</source>
        <translation>Bliebe unberührt, %1: %2</translation>
    </message>
    <message>
        <source>%1 restored, %2 removed, %3 left alone, %4 failed.</source>
        <translation>%1 wiederhergestellt, %2 entfernt, %3 unberührt, %4 fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Restored: </source>
        <translation>Wiederhergestellt: </translation>
    </message>
    <message>
        <source>Restored without </source>
        <translation>Wiederhergestellt ohne </translation>
    </message>
    <message>
        <source>Removed: </source>
        <translation>Entfernt: </translation>
    </message>
    <message>
        <source>Left alone, no longer there: </source>
        <translation>Unberührt, nicht mehr vorhanden: </translation>
    </message>
    <message>
        <source>Left alone, changed since the run: </source>
        <translation>Unberührt, seit dem Lauf geändert: </translation>
    </message>
    <message>
        <source>Not restored, </source>
        <translation>Nicht wiederhergestellt, </translation>
    </message>
    <message>
        <source>The record of the run %1 does not read whole: %2. %3 of its files read. Nothing was changed, and the run and the originals it keeps are kept.</source>
        <translation>Die Aufzeichnung des Laufs %1 ist nicht ganz lesbar: %2. %3 seiner Dateien gelesen. Nichts wurde geändert; der Lauf und die Originale, die er aufbewahrt, bleiben erhalten.</translation>
    </message>
    <message>
        <source>Not restored, no longer there (kept for the next undo): </source>
        <translation>Nicht wiederhergestellt, nicht mehr vorhanden (für das nächste Zurücknehmen aufbewahrt): </translation>
    </message>
    <message>
        <source>Stopped: %1 files not reached, kept for the next undo.</source>
        <translation>Angehalten: %1 Dateien nicht erreicht, für das nächste Zurücknehmen aufbewahrt.</translation>
    </message>
</context>
</TS>
