<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AddFolder</name>
    <message>
        <source>Skipped: the name is not valid UTF-8</source>
        <translation>Пропущено: имя не является корректным UTF-8</translation>
    </message>
    <message>
        <source>Skipped: a symbolic link to a file outside the searched folder</source>
        <translation>Пропущено: символическая ссылка на файл вне папки поиска</translation>
    </message>
    <message>
        <source>Skipped: a folder path of 260 characters or more</source>
        <translation>Пропущено: путь к папке из 260 или более символов</translation>
    </message>
    <message>
        <source>Skipped: a folder name with a control character, &quot;?&quot; or U+FFFD</source>
        <translation>Пропущено: имя папки с управляющим символом, &quot;?&quot; или U+FFFD</translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message>
        <source>%1 needs a value</source>
        <translation>%1: нужно значение</translation>
    </message>
    <message>
        <source>%1 is not valid UTF-8</source>
        <translation>%1: недопустимый UTF-8</translation>
    </message>
    <message>
        <source>unknown operation %1</source>
        <translation>неизвестная операция %1</translation>
    </message>
    <message>
        <source>; did you mean &apos;%1&apos;?</source>
        <translation>; может быть, &apos;%1&apos;?</translation>
    </message>
    <message>
        <source> (one of %1)</source>
        <translation> (одна из: %1)</translation>
    </message>
    <message>
        <source>%1 needs %2</source>
        <translation>%1: нужно указать %2</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>неизвестный параметр %1</translation>
    </message>
    <message>
        <source>%1 needs a whole number from %2 to %3, not %4</source>
        <translation>%1: нужно целое число от %2 до %3, а не %4</translation>
    </message>
    <message>
        <source>--out needs a folder</source>
        <translation>--out: нужна папка</translation>
    </message>
    <message>
        <source>an extension (* for every file)</source>
        <translation>расширение (* — все файлы)</translation>
    </message>
    <message>
        <source>a glob</source>
        <translation>шаблон</translation>
    </message>
    <message>
        <source>--exclude needs a glob</source>
        <translation>--exclude: нужен шаблон</translation>
    </message>
    <message>
        <source>--files-from needs a file (- for standard input)</source>
        <translation>--files-from: нужен файл (- — стандартный ввод)</translation>
    </message>
    <message>
        <source>--encoding needs the name of a code page (one of %1), not %2</source>
        <translation>--encoding: нужно имя кодовой страницы (одно из: %1), а не %2</translation>
    </message>
    <message>
        <source>--color needs auto, always or never, not %1</source>
        <translation>--color: нужно auto, always или never, а не %1</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 не принимает значения</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 указан дважды</translation>
    </message>
    <message>
        <source>the PATH - (standard input) goes alone</source>
        <translation>ПУТЬ - (стандартный ввод) указывается один</translation>
    </message>
    <message>
        <source>the PATH - and --files-from cannot be used together</source>
        <translation>ПУТЬ - и --files-from нельзя использовать вместе</translation>
    </message>
    <message>
        <source>the PATH - (standard input) writes its result to standard output: leave out --out and --in-place</source>
        <translation>ПУТЬ - (стандартный ввод) пишет результат в стандартный вывод: уберите --out и --in-place</translation>
    </message>
    <message>
        <source>remove needs an OPERATION</source>
        <translation>remove: нужна ОПЕРАЦИЯ</translation>
    </message>
    <message>
        <source>line needs a number N, not %1</source>
        <translation>line: нужно число N, а не %1</translation>
    </message>
    <message>
        <source>TEXT must not be empty</source>
        <translation>TEXT не может быть пустым</translation>
    </message>
    <message>
        <source>--diff and --json cannot be used together</source>
        <translation>--diff и --json нельзя использовать вместе</translation>
    </message>
    <message>
        <source>--crlf and --keep-line-ends cannot be used together</source>
        <translation>--crlf и --keep-line-ends нельзя использовать вместе</translation>
    </message>
    <message>
        <source>--null goes with --files-from</source>
        <translation>--null используется с --files-from</translation>
    </message>
    <message>
        <source>%1 does not go with standard input filtered to standard output</source>
        <translation>%1 нельзя при фильтрации стандартного ввода в стандартный вывод</translation>
    </message>
    <message>
        <source>say where the results go: --out DIR or --in-place (exactly one)</source>
        <translation>укажите, куда писать результаты: --out DIR или --in-place (ровно одно)</translation>
    </message>
    <message>
        <source>no PATH given</source>
        <translation>не указан ПУТЬ</translation>
    </message>
    <message>
        <source>no PATH given (or pipe the text into standard input)</source>
        <translation>не указан ПУТЬ (или подайте текст на стандартный ввод)</translation>
    </message>
    <message>
        <source>--mkdir goes with --out DIR</source>
        <translation>--mkdir используется с --out DIR</translation>
    </message>
    <message>
        <source>--keep-tree and --flat cannot be used together</source>
        <translation>--keep-tree и --flat нельзя использовать вместе</translation>
    </message>
    <message>
        <source>%1 goes with --out DIR</source>
        <translation>%1 используется с --out DIR</translation>
    </message>
    <message>
        <source>undo takes no &apos;%1&apos;</source>
        <translation>undo не принимает &apos;%1&apos;</translation>
    </message>
    <message>
        <source>undo --list takes no RUN and no --dry-run</source>
        <translation>undo --list не принимает ни ЗАПУСК, ни --dry-run</translation>
    </message>
    <message>
        <source>Where the results go (one of -o and -i; neither when filtering standard input):</source>
        <translation>Куда писать результаты (-o или -i; ни одного при фильтрации ввода):</translation>
    </message>
    <message>
        <source>Which files a folder PATH gives (.git, .hg and .svn are never entered):</source>
        <translation>Какие файлы берутся из папки ПУТЬ (.git, .hg и .svn не открываются):</translation>
    </message>
    <message>
        <source>Encodings and line ends:</source>
        <translation>Кодировки и концы строк:</translation>
    </message>
    <message>
        <source>What is printed:</source>
        <translation>Что выводится:</translation>
    </message>
    <message>
        <source>Other:</source>
        <translation>Прочее:</translation>
    </message>
    <message>
        <source>There is no run to undo.
</source>
        <translation>Нет запусков для отмены.
</translation>
    </message>
    <message>
        <source>in place, in %1</source>
        <translation>на месте, в %1</translation>
    </message>
    <message>
        <source>into %1</source>
        <translation>в %1</translation>
    </message>
    <message>
        <source>started %1 by the %2: %3 %4</source>
        <translation>запущен %1 из %2: %3 %4</translation>
    </message>
    <message>
        <source>command line</source>
        <translation>командной строки</translation>
    </message>
    <message>
        <source>window</source>
        <translation>окна</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 файл</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 файл(ов)</translation>
    </message>
    <message>
        <source>still in progress</source>
        <translation>ещё выполняется</translation>
    </message>
    <message>
        <source>%1 of %2 can still be taken back</source>
        <translation>ещё можно отменить %1 из %2</translation>
    </message>
    <message>
        <source>strelmark: no folder for the undo store: set HOME or XDG_DATA_HOME
</source>
        <translation>strelmark: нет папки для хранилища отмены: задайте HOME или XDG_DATA_HOME
</translation>
    </message>
    <message>
        <source>Undoing the run of the %1 started %2 (%3 files) would do this:
</source>
        <translation>Отмена запуска из %1 от %2 (файлов: %3) сделала бы следующее:
</translation>
    </message>
    <message>
        <source>Undid the run of the %1 started %2 (%3 files).
</source>
        <translation>Запуск из %1 от %2 (файлов: %3) отменён.
</translation>
    </message>
    <message>
        <source>strelmark: not restored, %1: %2
</source>
        <translation>strelmark: не восстановлено, %1: %2
</translation>
    </message>
    <message>
        <source>there is no file or folder &apos;%1&apos;</source>
        <translation>нет файла или папки &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Try &apos;strelmark --help&apos; for more information.</source>
        <translation>Подробнее: &apos;strelmark --help&apos;.</translation>
    </message>
    <message>
        <source>into the folder DIR: a folder PATH&apos;s files at their
path below that folder, a file PATH under its name</source>
        <translation>в папку DIR: файлы ПУТИ-папки по их пути внутри неё,
ПУТЬ-файл под его именем</translation>
    </message>
    <message>
        <source>in place of each input file</source>
        <translation>на место каждого входного файла</translation>
    </message>
    <message>
        <source>create DIR and its parents when they are missing</source>
        <translation>создать DIR и родительские папки, если их нет</translation>
    </message>
    <message>
        <source>every result at its path below DIR, a file PATH&apos;s
too (its path from the current folder)</source>
        <translation>каждый результат по его пути внутри DIR, и для
ПУТИ-файла (его путь от текущей папки)</translation>
    </message>
    <message>
        <source>every result in DIR itself, under its file name (the
window&apos;s rule: of two equal names the later wins)</source>
        <translation>каждый результат прямо в DIR под его именем (правило
окна: из двух одинаковых имён побеждает позднее)</translation>
    </message>
    <message>
        <source>files named *.EXT (default html,htm; * for every
file); repeat it, or give a comma list</source>
        <translation>файлы *.EXT (по умолчанию html,htm; * — все файлы);
можно повторять или дать список через запятую</translation>
    </message>
    <message>
        <source>only files whose path below the folder matches GLOB
(gitignore style, ** included); repeatable</source>
        <translation>только файлы, чей путь в папке подходит под GLOB
(как в gitignore, с **); можно повторять</translation>
    </message>
    <message>
        <source>leave out the files and whole folders that match
GLOB, never opening such a folder; repeatable</source>
        <translation>пропустить файлы и папки целиком, подходящие под
GLOB, не открывая таких папок; можно повторять</translation>
    </message>
    <message>
        <source>take the hidden files too (names starting with .)</source>
        <translation>брать и скрытые файлы (имена с точки)</translation>
    </message>
    <message>
        <source>go at most N levels down (1: the folder&apos;s own files)</source>
        <translation>спускаться не глубже N уровней (1: только сама папка)</translation>
    </message>
    <message>
        <source>leave out what .gitignore, .ignore and
.git/info/exclude files leave out</source>
        <translation>пропустить то, что пропускают файлы .gitignore,
.ignore и .git/info/exclude</translation>
    </message>
    <message>
        <source>also the files that FILE names, one a line, in its
order (- for standard input)</source>
        <translation>также файлы, названные в FILE, по одному в строке, в
его порядке (- — стандартный ввод)</translation>
    </message>
    <message>
        <source>the --files-from list ends each name with NUL</source>
        <translation>в списке --files-from имена кончаются на NUL</translation>
    </message>
    <message>
        <source>files with a NUL byte are text too (as grep -a);
otherwise they are binary and left alone</source>
        <translation>файлы с байтом NUL — тоже текст (как grep -a);
иначе они двоичные и не трогаются</translation>
    </message>
    <message>
        <source>the code page of lines that are not UTF-8, in files
that name none (default windows-1252)</source>
        <translation>кодовая страница строк не в UTF-8 в файлах, где она
не указана (по умолчанию windows-1252)</translation>
    </message>
    <message>
        <source>join the kept lines with CR LF, none after the last
(the window&apos;s rule)</source>
        <translation>соединять оставшиеся строки через CR LF, без него
после последней (правило окна)</translation>
    </message>
    <message>
        <source>each kept line keeps its own line end (the default):
a file of which nothing is removed stays as it is</source>
        <translation>каждая строка сохраняет свой конец (по умолчанию):
файл, из которого ничего не удалено, не меняется</translation>
    </message>
    <message>
        <source>write nothing: list the files that would change</source>
        <translation>ничего не писать: перечислить файлы, которые изменятся</translation>
    </message>
    <message>
        <source>list the runs kept, newest first, numbered</source>
        <translation>перечислить сохранённые запуски, новые первыми</translation>
    </message>
    <message>
        <source>write nothing: print a unified diff of the changes</source>
        <translation>ничего не писать: вывести unified diff изменений</translation>
    </message>
    <message>
        <source>one JSON object per file, then a summary object</source>
        <translation>по объекту JSON на файл, затем объект итогов</translation>
    </message>
    <message>
        <source>no progress, summary or listing: only errors</source>
        <translation>без хода работы, итогов и списков: только ошибки</translation>
    </message>
    <message>
        <source>colour the diff and the outcomes: auto (on a
terminal, unless NO_COLOR is set), always or never</source>
        <translation>раскрашивать diff и итоги: auto (в терминале, если
не задан NO_COLOR), always или never</translation>
    </message>
    <message>
        <source>files worked on at once (default: the processors)</source>
        <translation>файлов одновременно (по умолчанию: число процессоров)</translation>
    </message>
    <message>
        <source>print this help and exit</source>
        <translation>вывести эту справку и выйти</translation>
    </message>
    <message>
        <source>print the version and exit</source>
        <translation>вывести версию и выйти</translation>
    </message>
    <message>
        <source>--out %1 is not a folder</source>
        <translation>--out %1 — не папка</translation>
    </message>
    <message>
        <source>the folder %1 does not exist (--mkdir makes it)</source>
        <translation>папки %1 нет (--mkdir её создаст)</translation>
    </message>
    <message>
        <source>cannot make the folder %1: %2</source>
        <translation>не удаётся создать папку %1: %2</translation>
    </message>
    <message>
        <source>no folder for the undo store: set HOME or XDG_DATA_HOME (nothing was changed)</source>
        <translation>нет папки для хранилища отмены: задайте HOME или XDG_DATA_HOME (ничего не изменено)</translation>
    </message>
    <message>
        <source>the undo store cannot be used: %1: %2 (nothing was changed)</source>
        <translation>хранилище отмены недоступно: %1: %2 (ничего не изменено)</translation>
    </message>
    <message>
        <source>cannot write the output: %1</source>
        <translation>не удаётся записать вывод: %1</translation>
    </message>
    <message>
        <source>character</source>
        <translation>симв.</translation>
    </message>
    <message>
        <source>characters</source>
        <translation>симв.</translation>
    </message>
    <message>
        <source>line</source>
        <translation>стр.</translation>
    </message>
    <message>
        <source>lines</source>
        <translation>стр.</translation>
    </message>
    <message>
        <source>%1 removed</source>
        <translation>удалено: %1</translation>
    </message>
    <message>
        <source>Every line of %1 would be removed: no result is written.
</source>
        <translation>Из %1 были бы удалены все строки: результат не записывается.
</translation>
    </message>
    <message>
        <source>The result of %1 is the same text; it would be written to %2.
</source>
        <translation>Результат для %1 — тот же текст; он был бы записан в %2.
</translation>
    </message>
    <message>
        <source>standard input holds a NUL byte (binary): passed through unchanged</source>
        <translation>стандартный ввод содержит байт NUL (двоичный): передан без изменений</translation>
    </message>
    <message>
        <source>empty result, not written</source>
        <translation>пустой результат, не записан</translation>
    </message>
    <message>
        <source>binary, left alone</source>
        <translation>двоичный, не тронут</translation>
    </message>
    <message>
        <source>cannot be decoded, left alone</source>
        <translation>не декодируется, не тронут</translation>
    </message>
    <message>
        <source>unreadable</source>
        <translation>не читается</translation>
    </message>
    <message>
        <source>cannot be written</source>
        <translation>не записывается</translation>
    </message>
    <message>
        <source>cannot be used</source>
        <translation>не используется</translation>
    </message>
    <message>
        <source>; a run reads the result of file %1</source>
        <translation>; запуск читает результат файла %1</translation>
    </message>
    <message>
        <source>; replaces the result of file %1</source>
        <translation>; заменяет результат файла %1</translation>
    </message>
    <message>
        <source>%1/%2 files  %3 MB/s  </source>
        <translation>файлов %1/%2  %3 МБ/с  </translation>
    </message>
    <message>
        <source>Stopped by %1. </source>
        <translation>Остановлено сигналом %1. </translation>
    </message>
    <message>
        <source>Dry run, nothing written. </source>
        <translation>Пробный запуск, ничего не записано. </translation>
    </message>
    <message>
        <source>Done. </source>
        <translation>Готово. </translation>
    </message>
    <message>
        <source>file</source>
        <translation>файл</translation>
    </message>
    <message>
        <source>files</source>
        <translation>файл(ов)</translation>
    </message>
    <message>
        <source>would change</source>
        <translation>изменились бы</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>изменено</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>ошибок: %1</translation>
    </message>
    <message>
        <source>, %1 binary (left alone)</source>
        <translation>, двоичных (не тронуты): %1</translation>
    </message>
    <message>
        <source>%1, %2 unchanged, %3 empty (%4)%5, %6</source>
        <translation>%1, без изменений: %2, пустых (%4): %3%5, %6</translation>
    </message>
    <message>
        <source>would not be written</source>
        <translation>не были бы записаны</translation>
    </message>
    <message>
        <source>not written</source>
        <translation>не записаны</translation>
    </message>
    <message>
        <source>, %1 not processed</source>
        <translation>, не обработано: %1</translation>
    </message>
    <message>
        <source>; %1 removed; %2 s.
</source>
        <translation>; удалено: %1; %2 с.
</translation>
    </message>
    <message>
        <source>stopped by %1; %2 not processed</source>
        <translation>остановлено сигналом %1; не обработано: %2</translation>
    </message>
    <message>
        <source>file was</source>
        <translation>файл</translation>
    </message>
    <message>
        <source>files were</source>
        <translation>файл(ов)</translation>
    </message>
    <message>
        <source>remove every line that contains TEXT</source>
        <translation>удалить все строки, где есть TEXT</translation>
    </message>
    <message>
        <source>remove the lines without TEXT, and empty lines</source>
        <translation>удалить строки без TEXT и пустые</translation>
    </message>
    <message>
        <source>remove every occurrence of TEXT from each line</source>
        <translation>удалить каждое вхождение TEXT из строк</translation>
    </message>
    <message>
        <source>keep only the occurrences of TEXT; other lines go</source>
        <translation>оставить только вхождения TEXT</translation>
    </message>
    <message>
        <source>remove line number N (counted from 1)</source>
        <translation>удалить строку номер N (счёт с 1)</translation>
    </message>
    <message>
        <source>remove empty lines (a line of blanks stays)</source>
        <translation>удалить пустые строки (пробельные остаются)</translation>
    </message>
    <message>
        <source>undo --list takes no --force</source>
        <translation>undo --list не принимает --force</translation>
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
        <translation>Запуск: strelmark undo [ЗАПУСК] [-n | --dry-run] [--force] [-q | --quiet]
        strelmark undo -l | --list

Отменяет запуск окна или командной строки: каждый заменённый им файл
возвращается, каждый созданный им файл удаляется, а файл, изменённый после
запуска, не трогается. Без ЗАПУСКА — последний; ЗАПУСК — номер или имя запуска,
как их показывает --list (1 — самый новый).

  -l, --list      сохранённые запуски: когда, где, сколько файлов, что
                  сделано и сколько файлов ещё можно вернуть
  -n, --dry-run   ничего не менять: сказать, что отмена сделала бы с файлами
      --force     запуск, запись которого читается не целиком: вернуть то,
                  что называет читаемая часть
  -q, --quiet     выводить только ошибки
  -h, --help      вывести эту справку и выйти
  -V, --version   вывести версию и выйти
</translation>
    </message>
    <message>
        <source>undo a run whose record does not read whole: put
back what the part that reads names</source>
        <translation>отменить запуск, запись которого читается не
целиком: вернуть то, что называет читаемая часть</translation>
    </message>
    <message>
        <source>, %1 skipped by the folder search</source>
        <translation>, %1 пропущено поиском по папкам</translation>
    </message>
    <message>
        <source>Skipped: the path is longer than the system allows</source>
        <translation>Пропущено: путь длиннее, чем допускает система</translation>
    </message>
    <message>
        <source>Skipped: the name is not valid UTF-8</source>
        <translation>Пропущено: имя не является корректным UTF-8</translation>
    </message>
    <message>
        <source>Skipped: a symbolic link to a file outside the searched folder</source>
        <translation>Пропущено: символическая ссылка на файл вне папки поиска</translation>
    </message>
    <message>
        <source>waiting for another run to finish</source>
        <translation>ожидание завершения другого запуска</translation>
    </message>
    <message>
        <source>replace needs TEXT and WITH</source>
        <translation>replace требует TEXT и WITH</translation>
    </message>
    <message>
        <source>How TEXT is matched (by default: literally, letter case ignored):</source>
        <translation>Как ищется TEXT (по умолчанию: буквально, без учёта регистра):</translation>
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
        <translation>Запуск: strelmark remove ОПЕРАЦИЯ [TEXT|N] (-o DIR | -i) [параметры] ПУТЬ...
        strelmark remove ОПЕРАЦИЯ [TEXT|N] [параметры] &lt; ВВОД &gt; ВЫВОД
        strelmark replace TEXT WITH (-o DIR | -i) [параметры] ПУТЬ...
                                     заменить каждое совпадение TEXT на WITH
        strelmark undo [ЗАПУСК | --list] [--dry-run] [--force] [-q]
                                     отменить запуск, по умолчанию последний
        strelmark --help | --version
        strelmark [ФАЙЛ|ПАПКА]...    открыть окно с ними в списке

Удаляет строки или символы сразу из многих текстовых файлов, как и окно.

Операции:
</translation>
    </message>
    <message>
        <source>TEXT is taken whole, never trimmed, and compared without regard to letter
case; it must not be empty. N is any number, rounded half to even. replace
takes every option of remove; WITH is literal unless --regex is given.
</source>
        <translation>TEXT берётся целиком, без обрезки, и сравнивается без учёта регистра;
он не может быть пустым. N — любое число, округляемое до ближайшего чётного.
replace принимает все параметры remove; WITH берётся буквально, кроме --regex.
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
ПУТЬ-папка просматривается уровень за уровнем; любой другой ПУТЬ берётся как
есть. Без ПУТИ, -o и -i стандартный ввод фильтруется в стандартный вывод, как
это делает sed (так же с ПУТЁМ -), и для отмены ничего не сохраняется. Ставьте
-- перед ПУТЯМИ, начинающимися с &quot;-&quot;. Результат без единой строки не
записывается; результат, равный уже имеющемуся файлу, не перезаписывается.
Каждый запуск, который пишет, сохраняет то, что заменяет: `strelmark undo`
отменяет его.

Код возврата: 0 всё сделано, 1 часть файлов с ошибкой, 2 ошибка вызова, 130 или
143 остановлено SIGINT или SIGTERM (готовое сохраняется).

Примеры:
  strelmark remove lines-containing &apos;meta http&apos; -o ~/site-new --mkdir ~/site
  strelmark remove blank-lines -e txt,md -E drafts -i -n notes/
  find site -print0 | strelmark remove text &apos;&lt;br&gt;&apos; -i --files-from - -0
  curl -s URL | strelmark remove lines-containing &apos;&lt;script&apos; &gt; page.html
  strelmark replace --regex &apos;(\w+)@old\.example&apos; &apos;$1@new.example&apos; -i site/
  strelmark remove lines-containing -w --match-case cat -i notes.txt

Подробности и поля JSON описаны в strelmark(1).
</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos; (remove, replace, undo, --help, --version)</source>
        <translation>неизвестная команда &apos;%1&apos; (remove, replace, undo, --help, --version)</translation>
    </message>
    <message>
        <source>letter case counts: &quot;a&quot; is no &quot;A&quot;</source>
        <translation>регистр учитывается: «a» не то же, что «A»</translation>
    </message>
    <message>
        <source>only whole words: a match with no letter, digit or
underscore just before or after it</source>
        <translation>только целые слова: без буквы, цифры или подчёркивания
сразу до или после совпадения</translation>
    </message>
    <message>
        <source>TEXT is a regular expression (Perl-compatible,
PCRE2); with replace, WITH may name groups: $1,
${name}, and $$ for a dollar</source>
        <translation>TEXT — регулярное выражение (совместимое с Perl,
PCRE2); в replace WITH может ссылаться на группы: $1,
${name}, а $$ означает знак доллара</translation>
    </message>
</context>
<context>
    <name>CodePages</name>
    <message>
        <source>Central European</source>
        <translation>Центральная Европа</translation>
    </message>
    <message>
        <source>Cyrillic</source>
        <translation>Кириллица</translation>
    </message>
    <message>
        <source>Western European</source>
        <translation>Западная Европа</translation>
    </message>
    <message>
        <source>Greek</source>
        <translation>Греческий</translation>
    </message>
    <message>
        <source>Turkish</source>
        <translation>Турецкий</translation>
    </message>
    <message>
        <source>Hebrew</source>
        <translation>Иврит</translation>
    </message>
    <message>
        <source>Arabic</source>
        <translation>Арабский</translation>
    </message>
    <message>
        <source>Baltic</source>
        <translation>Балтийский</translation>
    </message>
    <message>
        <source>Vietnamese</source>
        <translation>Вьетнамский</translation>
    </message>
    <message>
        <source>South European</source>
        <translation>Южная Европа</translation>
    </message>
    <message>
        <source>North European</source>
        <translation>Северная Европа</translation>
    </message>
    <message>
        <source>Nordic</source>
        <translation>Скандинавский</translation>
    </message>
    <message>
        <source>Thai</source>
        <translation>Тайский</translation>
    </message>
    <message>
        <source>Celtic</source>
        <translation>Кельтский</translation>
    </message>
    <message>
        <source>Western European, with the euro</source>
        <translation>Западная Европа, с евро</translation>
    </message>
    <message>
        <source>South-Eastern European</source>
        <translation>Юго-Восточная Европа</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Русский</translation>
    </message>
    <message>
        <source>Ukrainian</source>
        <translation>Украинский</translation>
    </message>
</context>
<context>
    <name>Encoding</name>
    <message>
        <source>Binary</source>
        <translation>Двоичный</translation>
    </message>
    <message>
        <source>Cannot be decoded as </source>
        <translation>Не декодируется как </translation>
    </message>
</context>
<context>
    <name>ErrorReport</name>
    <message>
        <source>at line </source>
        <translation>в строке </translation>
    </message>
    <message>
        <source>Please email screenshot of this message to </source>
        <translation>Пожалуйста, пришлите снимок этого сообщения на </translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Ошибка приложения</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Не хватает памяти</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Неизвестная ошибка</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>Несоответствие типа</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>Переполнение</translation>
    </message>
    <message>
        <source>Invalid procedure call or argument</source>
        <translation>Недопустимый вызов процедуры или аргумент</translation>
    </message>
    <message>
        <source>Invalid property value</source>
        <translation>Недопустимое значение свойства</translation>
    </message>
</context>
<context>
    <name>FileError</name>
    <message>
        <source>Is a named pipe, not a regular file</source>
        <translation>Это именованный канал, а не обычный файл</translation>
    </message>
    <message>
        <source>Is a socket, not a regular file</source>
        <translation>Это сокет, а не обычный файл</translation>
    </message>
    <message>
        <source>Is a device, not a regular file</source>
        <translation>Это устройство, а не обычный файл</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>Не обычный файл</translation>
    </message>
    <message>
        <source>Not writing through a dangling symbolic link</source>
        <translation>Запись через висячую символическую ссылку не выполняется</translation>
    </message>
</context>
<context>
    <name>FileListModel</name>
    <message>
        <source>HTML File(s)</source>
        <translation>Файлы HTML</translation>
    </message>
</context>
<context>
    <name>FileListView</name>
    <message>
        <source>Drag and drop files here. Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <translation>Перетащите файлы сюда. Двойной щелчок по строке убирает её. Чтобы увидеть полные имена, сдвиньте линию | вправо за край окна.</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>Please select folder:</source>
        <translation>Выберите папку:</translation>
    </message>
    <message>
        <source>Add File(s) - Hold Ctrl to select multiple files</source>
        <translation>Добавить файлы — удерживайте Ctrl, чтобы выбрать несколько</translation>
    </message>
    <message>
        <source>HTML Files (*.htm*)</source>
        <translation>Файлы HTML (*.htm*)</translation>
    </message>
    <message>
        <source>You&apos;ve selected too many files to add.<byte value="xd"/><byte value="xd"/>Please try adding via the &quot;Add All&quot; button.</source>
        <translation>Выбрано слишком много файлов.<byte value="xd"/><byte value="xd"/>Попробуйте добавить их кнопкой «Добавить все».</translation>
    </message>
    <message>
        <source>Enter file extension to load:<byte value="xd"/><byte value="xd"/>(* for all files, txt for all txt files, doc for all doc files, etc.)</source>
        <translation>Введите расширение файлов для загрузки:<byte value="xd"/><byte value="xd"/>(* — все файлы, txt — все файлы txt, doc — все файлы doc и т. д.)</translation>
    </message>
    <message>
        <source>Add HTML Files</source>
        <translation>Добавить файлы HTML</translation>
    </message>
    <message>
        <source>Add All HTML Files In Folder</source>
        <translation>Все HTML-файлы из папки</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Очистить список</translation>
    </message>
    <message>
        <source>Load Sample/Example Files</source>
        <translation>Загрузить примеры</translation>
    </message>
    <message>
        <source>Condition Options</source>
        <translation>Условие</translation>
    </message>
    <message>
        <source>If file contains</source>
        <translation>Если есть</translation>
    </message>
    <message>
        <source>Then</source>
        <translation>Тогда</translation>
    </message>
    <message>
        <source>Save Option</source>
        <translation>Сохранение</translation>
    </message>
    <message>
        <source>Save results to this folder:</source>
        <translation>Сохранить в эту папку:</translation>
    </message>
    <message>
        <source>Save results in folder of original file</source>
        <translation>В папку исходного файла</translation>
    </message>
    <message>
        <source>Start Removing</source>
        <translation>Начать удаление</translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>Ход работы</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Остановить</translation>
    </message>
    <message>
        <source>Preview...</source>
        <translation>Предпросмотр...</translation>
    </message>
    <message>
        <source>Preview 1 file...</source>
        <translation>Предпросмотр 1 файла...</translation>
    </message>
    <message>
        <source>Preview %1 files...</source>
        <translation>Предпросмотр файлов: %1...</translation>
    </message>
    <message>
        <source>Undo Runs...</source>
        <translation>Отменить запуски...</translation>
    </message>
    <message>
        <source>Keep each file&apos;s line ends</source>
        <translation>Сохранять концы строк каждого файла</translation>
    </message>
    <message>
        <source>Other files are in</source>
        <translation>Прочие файлы в кодировке</translation>
    </message>
    <message>
        <source>HTML File(s)</source>
        <translation>Файлы HTML</translation>
    </message>
    <message>
        <source>Output folder</source>
        <translation>Папка для результатов</translation>
    </message>
    <message>
        <source>Choose output folder</source>
        <translation>Выбрать папку для результатов</translation>
    </message>
    <message>
        <source>&quot;Keep each file&apos;s line ends&quot; has changed since the preview. Preview again to see what the run would do.</source>
        <translation>«Сохранять концы строк каждого файла» изменилось после предпросмотра. Откройте предпросмотр снова, чтобы увидеть, что сделает запуск.</translation>
    </message>
    <message>
        <source>To take this run back: &quot;Undo Last Run&quot; in the list&apos;s menu (right-click on the list), Ctrl+Z, or the command &quot;strelmark undo&quot;.</source>
        <translation>Чтобы отменить этот запуск: «Отменить последний запуск» в меню списка (щелчок правой кнопкой по списку), Ctrl+Z или команда «strelmark undo».</translation>
    </message>
    <message>
        <source>in place, %1</source>
        <translation>на месте, %1</translation>
    </message>
    <message>
        <source>in progress</source>
        <translation>выполняется</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 из %2</translation>
    </message>
    <message>
        <source><byte value="xd"/><byte value="xd"/>The details list the files left as they are.</source>
        <translation><byte value="xd"/><byte value="xd"/>В подробностях перечислены файлы, оставленные как есть.</translation>
    </message>
    <message>
        <source>byte</source>
        <translation>байт</translation>
    </message>
    <message>
        <source>bytes</source>
        <translation>байт</translation>
    </message>
    <message>
        <source>Undo Last Run</source>
        <translation>Отменить последний запуск</translation>
    </message>
    <message>
        <source>Undo Last Run (%1 %2, %3)</source>
        <translation>Отменить последний запуск (%1 %2, %3)</translation>
    </message>
    <message>
        <source>file</source>
        <translation>файл</translation>
    </message>
    <message>
        <source>files</source>
        <translation>файл(ов)</translation>
    </message>
    <message>
        <source>1 file in the list.</source>
        <translation>В списке 1 файл.</translation>
    </message>
    <message>
        <source>%1 files in the list.</source>
        <translation>Файлов в списке: %1.</translation>
    </message>
    <message>
        <source>(no home folder)</source>
        <translation>(нет домашней папки)</translation>
    </message>
    <message>
        <source>This run cannot be taken back: the undo store cannot be used (</source>
        <translation>Этот запуск нельзя отменить: хранилище отмены недоступно (</translation>
    </message>
    <message>
        <source>Stop the run?</source>
        <translation>Остановить запуск?</translation>
    </message>
    <message>
        <source>There is no run to undo.</source>
        <translation>Нет запусков для отмены.</translation>
    </message>
    <message>
        <source>Undo the last run?<byte value="xd"/><byte value="xd"/>%1 it replaced or created (started %2) go back to what they were before it: each file it replaced is put back, each file it created is removed. A file changed since the run is left alone.</source>
        <translation>Отменить последний запуск?<byte value="xd"/><byte value="xd"/>%1, заменённые или созданные им (запуск %2), вернутся к прежнему виду: каждый заменённый файл восстанавливается, каждый созданный удаляется. Файл, изменённый после запуска, не трогается.</translation>
    </message>
    <message>
        <source>The file</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>The %1 files</source>
        <translation>Файлы (%1)</translation>
    </message>
    <message>
        <source>The last run is undone: </source>
        <translation>Последний запуск отменён: </translation>
    </message>
    <message>
        <source>The runs kept, newest first. The run chosen goes back as &quot;Undo Last Run&quot; takes back the last: each file it replaced is put back, each file it created is removed, and a file edited since is left alone.</source>
        <translation>Сохранённые запуски, новые первыми. Выбранный запуск отменяется так же, как «Отменить последний запуск» отменяет последний: каждый заменённый файл восстанавливается, каждый созданный удаляется, а файл, отредактированный позже, не трогается.</translation>
    </message>
    <message>
        <source>Started</source>
        <translation>Начало</translation>
    </message>
    <message>
        <source>Where</source>
        <translation>Где</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Файлы</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>Операция</translation>
    </message>
    <message>
        <source>Can restore</source>
        <translation>Можно вернуть</translation>
    </message>
    <message>
        <source>Undo Run</source>
        <translation>Отменить запуск</translation>
    </message>
    <message>
        <source>Undo Runs</source>
        <translation>Отмена запусков</translation>
    </message>
    <message>
        <source>Undo the run started %1?<byte value="xd"/><byte value="xd"/>%2<byte value="xd"/>%3: %4<byte value="xd"/><byte value="xd"/>A file changed since the run is left alone.</source>
        <translation>Отменить запуск от %1?<byte value="xd"/><byte value="xd"/>%2<byte value="xd"/>%3: %4<byte value="xd"/><byte value="xd"/>Файл, изменённый после запуска, не трогается.</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 файл</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 файл(ов)</translation>
    </message>
    <message>
        <source>The run is undone: </source>
        <translation>Запуск отменён: </translation>
    </message>
    <message>
        <source>Waiting for another run to finish</source>
        <translation>Ожидание другого запуска</translation>
    </message>
    <message>
        <source>Match case</source>
        <translation>Учитывать регистр</translation>
    </message>
    <message>
        <source>Whole words</source>
        <translation>Целые слова</translation>
    </message>
    <message>
        <source>Regular expression</source>
        <translation>Регулярное выражение</translation>
    </message>
    <message>
        <source>How the text is matched has changed since the preview. Preview again to see what the run would do.</source>
        <translation>Способ поиска текста изменился после предпросмотра. Откройте предпросмотр снова, чтобы увидеть, что сделает запуск.</translation>
    </message>
</context>
<context>
    <name>Operations</name>
    <message>
        <source>Remove all lines containing those characters</source>
        <translation>Удалить все строки с этими символами</translation>
    </message>
    <message>
        <source>Remove all lines not containing those characters</source>
        <translation>Удалить все строки без этих символов</translation>
    </message>
    <message>
        <source>Remove all characters except those characters</source>
        <translation>Удалить все символы, кроме этих</translation>
    </message>
    <message>
        <source>Remove line number n in all files</source>
        <translation>Удалить строку номер n во всех файлах</translation>
    </message>
    <message>
        <source>Remove blank lines in all files</source>
        <translation>Удалить пустые строки во всех файлах</translation>
    </message>
    <message>
        <source>Remove those characters</source>
        <translation>Удалить эти символы</translation>
    </message>
</context>
<context>
    <name>PointerPicture</name>
    <message>
        <source>Invalid picture</source>
        <translation>Недопустимое изображение</translation>
    </message>
</context>
<context>
    <name>PreviewDialog</name>
    <message>
        <source>Reading %1 ...</source>
        <translation>Чтение %1 ...</translation>
    </message>
    <message>
        <source>%1: line ends only; no line would change, but the result has CR LF between its lines and none after the last.</source>
        <translation>%1: только концы строк; ни одна строка не изменится, но в результате между строками CR LF, а после последней — ничего.</translation>
    </message>
    <message>
        <source>%1: no line would change.</source>
        <translation>%1: ни одна строка не изменится.</translation>
    </message>
    <message>
        <source>%1: %2 removed; first change at line %3.</source>
        <translation>%1: удалено %2; первое изменение в строке %3.</translation>
    </message>
    <message>
        <source> Showing lines %1 to %2; the file goes on.</source>
        <translation> Показаны строки с %1 по %2; файл продолжается.</translation>
    </message>
    <message>
        <source> The run would read row %1&apos;s result here; this is the file as it is now.</source>
        <translation> Запуск прочитал бы здесь результат строки %1; это файл в его нынешнем виде.</translation>
    </message>
    <message>
        <source>(empty line)</source>
        <translation>(пустая строка)</translation>
    </message>
    <message>
        <source> … (%1 more bytes)</source>
        <translation> … (ещё байт: %1)</translation>
    </message>
    <message>
        <source>Select a file to see its lines, with what would be removed marked.</source>
        <translation>Выберите файл, чтобы увидеть его строки; то, что будет удалено, отмечено.</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Предпросмотр</translation>
    </message>
    <message>
        <source>Preview progress</source>
        <translation>Ход предпросмотра</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Файлы</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Would remove</source>
        <translation>Будет удалено</translation>
    </message>
    <message>
        <source>What would happen</source>
        <translation>Что произойдёт</translation>
    </message>
    <message>
        <source>Lines of the selected file</source>
        <translation>Строки выбранного файла</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Применить</translation>
    </message>
    <message>
        <source>Runs the ticked rows, in this order, as &quot;Start Removing&quot; would</source>
        <translation>Обрабатывает отмеченные строки в этом порядке, как «Начать удаление»</translation>
    </message>
    <message>
        <source>written</source>
        <translation>записан</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>без изменений</translation>
    </message>
    <message>
        <source>empty — not written</source>
        <translation>пустой — не записан</translation>
    </message>
    <message>
        <source>binary — left alone</source>
        <translation>двоичный — не тронут</translation>
    </message>
    <message>
        <source>left alone: </source>
        <translation>не тронут: </translation>
    </message>
    <message>
        <source>cannot be read: </source>
        <translation>не читается: </translation>
    </message>
    <message>
        <source>cannot be written: </source>
        <translation>не записывается: </translation>
    </message>
    <message>
        <source>would overwrite the result of an earlier row (row %1)</source>
        <translation>перезапишет результат более ранней строки (строка %1)</translation>
    </message>
    <message>
        <source>reads the result of an earlier row (row %1), not known yet</source>
        <translation>читает результат более ранней строки (строка %1), пока неизвестный</translation>
    </message>
    <message>
        <source>Previewing: %1 (%2 of %3)</source>
        <translation>Предпросмотр: %1 (%2 из %3)</translation>
    </message>
    <message>
        <source>, line %1</source>
        <translation>, строка %1</translation>
    </message>
    <message>
        <source> with &quot;%1&quot;</source>
        <translation> с «%1»</translation>
    </message>
    <message>
        <source>What &quot;Start Removing&quot; would do now: %1, %2. Nothing is written.</source>
        <translation>«Начать удаление» сделает: %1, %2. Ничего не пишется.</translation>
    </message>
    <message>
        <source>results into </source>
        <translation>результаты в </translation>
    </message>
    <message>
        <source>each result in place of its file</source>
        <translation>каждый результат на место своего файла</translation>
    </message>
    <message>
        <source>
Result: </source>
        <translation>
Результат: </translation>
    </message>
    <message>
        <source>line ends only</source>
        <translation>только концы строк</translation>
    </message>
    <message>
        <source>character</source>
        <translation>симв.</translation>
    </message>
    <message>
        <source>characters</source>
        <translation>симв.</translation>
    </message>
    <message>
        <source>line</source>
        <translation>стр.</translation>
    </message>
    <message>
        <source>lines</source>
        <translation>стр.</translation>
    </message>
    <message>
        <source>cannot be decoded</source>
        <translation>не декодируются</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>не читаются</translation>
    </message>
    <message>
        <source>cannot be written</source>
        <translation>не записывается</translation>
    </message>
    <message>
        <source>would overwrite the result of an earlier row</source>
        <translation>перезапишут результат более ранней строки</translation>
    </message>
    <message>
        <source>read the result of an earlier row</source>
        <translation>читают результат более ранней строки</translation>
    </message>
    <message>
        <source>Stopped after %1 of %2 files</source>
        <translation>Остановлено после %1 из %2 файлов</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 файл</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 файл(ов)</translation>
    </message>
    <message>
        <source>%1 unticked: Apply leaves them out.</source>
        <translation>Не отмечено: %1; «Применить» их пропустит.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>«%1»</translation>
    </message>
    <message>
        <source>pattern too complex</source>
        <translation>шаблон слишком сложен</translation>
    </message>
</context>
<context>
    <name>Run</name>
    <message>
        <source>Out of memory</source>
        <translation>Не хватает памяти</translation>
    </message>
</context>
<context>
    <name>RunDriver</name>
    <message>
        <source>Processing: </source>
        <translation>Обработка: </translation>
    </message>
    <message>
        <source>No files added.</source>
        <translation>Файлы не добавлены.</translation>
    </message>
    <message>
        <source>Please choose where to save the results.</source>
        <translation>Выберите, куда сохранять результаты.</translation>
    </message>
    <message>
        <source>Folder does not exist. Please select another folder.</source>
        <translation>Папка не существует. Выберите другую папку.</translation>
    </message>
    <message>
        <source>Please provide text for: </source>
        <translation>Укажите текст для: </translation>
    </message>
    <message>
        <source>Enter row number n: </source>
        <translation>Введите номер строки n: </translation>
    </message>
    <message>
        <source>Input Row Number n</source>
        <translation>Номер строки n</translation>
    </message>
    <message>
        <source>Must be numeric value.</source>
        <translation>Нужно числовое значение.</translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>Ход работы</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Готово.</translation>
    </message>
</context>
<context>
    <name>RunSummary</name>
    <message>
        <source>Stopped after %1 of %2 files.</source>
        <translation>Остановлено после %1 из %2 файлов.</translation>
    </message>
    <message>
        <source>1 file.</source>
        <translation>1 файл.</translation>
    </message>
    <message>
        <source>%1 files.</source>
        <translation>Файлов: %1.</translation>
    </message>
    <message>
        <source>Written: %1</source>
        <translation>Записано: %1</translation>
    </message>
    <message>
        <source>Unchanged (not rewritten): %1</source>
        <translation>Без изменений (не перезаписаны): %1</translation>
    </message>
    <message>
        <source>Empty results (not written): %1</source>
        <translation>Пустые результаты (не записаны): %1</translation>
    </message>
    <message>
        <source>Binary files (left alone): %1</source>
        <translation>Двоичные файлы (не тронуты): %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>С ошибкой: %1</translation>
    </message>
    <message>
        <source>Output names written more than once: %1</source>
        <translation>Имена результатов, записанные не раз: %1</translation>
    </message>
    <message>
        <source>%1 (%2 times)</source>
        <translation>%1 (раз: %2)</translation>
    </message>
    <message>
        <source>Skipped by the folder search: %1</source>
        <translation>Пропущено поиском по папкам: %1</translation>
    </message>
    <message>
        <source>Matched with: %1</source>
        <translation>Поиск: %1</translation>
    </message>
    <message>
        <source>Pattern too complex (left alone): %1</source>
        <translation>Шаблон слишком сложен (оставлены как есть): %1</translation>
    </message>
</context>
<context>
    <name>Samples</name>
    <message>
        <source>Would you like this software to open the folder where these sample files are stored (so that you can view them before working with them)?</source>
        <translation>Открыть папку, где лежат эти файлы-примеры (чтобы посмотреть их перед работой)?</translation>
    </message>
</context>
<context>
    <name>StartUp</name>
    <message>
        <source>The web browser could not be started.</source>
        <translation>Не удалось запустить веб-браузер.</translation>
    </message>
</context>
<context>
    <name>Undo</name>
    <message>
        <source>There is no run to undo.</source>
        <translation>Нет запусков для отмены.</translation>
    </message>
    <message>
        <source>That run is still in progress; undo it when it has ended.</source>
        <translation>Этот запуск ещё идёт; отмените его, когда он закончится.</translation>
    </message>
    <message>
        <source>The last run is still in progress; undo it when it has ended.</source>
        <translation>Последний запуск ещё идёт; отмените его, когда он закончится.</translation>
    </message>
    <message>
        <source>There is no such run to undo (it was undone, or dropped as too old).</source>
        <translation>Такого запуска нет (он отменён или удалён как слишком старый).</translation>
    </message>
    <message>
        <source>The undo store cannot be used: </source>
        <translation>Хранилище отмены недоступно: </translation>
    </message>
    <message>
        <source>%1 to restore, %2 to remove, %3 to leave alone; nothing was changed.</source>
        <translation>Восстановить: %1, удалить: %2, не трогать: %3; ничего не изменено.</translation>
    </message>
    <message>
        <source>Would restore: %1</source>
        <translation>Будет восстановлен: %1</translation>
    </message>
    <message>
        <source>Would remove: %1</source>
        <translation>Будет удалён: %1</translation>
    </message>
    <message>
        <source>Would leave alone, no longer there: %1</source>
        <translation>Не тронет, файла уже нет: %1</translation>
    </message>
    <message>
        <source>Would leave alone, changed since the run: %1</source>
        <translation>Не тронет, изменён после запуска: %1</translation>
    </message>
    <message>
        <source>Would leave alone, %1: %2</source>
        <translation>Не тронет, %1: %2</translation>
    </message>
    <message>
        <source>%1 restored, %2 removed, %3 left alone, %4 failed.</source>
        <translation>Восстановлено: %1, удалено: %2, не тронуто: %3, ошибок: %4.</translation>
    </message>
    <message>
        <source>Restored: </source>
        <translation>Восстановлен: </translation>
    </message>
    <message>
        <source>Restored without </source>
        <translation>Восстановлен без </translation>
    </message>
    <message>
        <source>Removed: </source>
        <translation>Удалён: </translation>
    </message>
    <message>
        <source>Left alone, no longer there: </source>
        <translation>Не тронут, файла уже нет: </translation>
    </message>
    <message>
        <source>Left alone, changed since the run: </source>
        <translation>Не тронут, изменён после запуска: </translation>
    </message>
    <message>
        <source>Not restored, </source>
        <translation>Не восстановлен, </translation>
    </message>
    <message>
        <source>The record of the run %1 does not read whole: %2. %3 of its files read. Nothing was changed, and the run and the originals it keeps are kept.</source>
        <translation>Запись запуска %1 читается не целиком: %2. Прочитано файлов: %3. Ничего не изменено; запуск и сохранённые им оригиналы оставлены.</translation>
    </message>
    <message>
        <source>Not restored, no longer there (kept for the next undo): </source>
        <translation>Не восстановлен, больше не существует (оставлен для следующей отмены): </translation>
    </message>
    <message>
        <source>Stopped: %1 files not reached, kept for the next undo.</source>
        <translation>Остановлено: не обработано файлов: %1, они оставлены для следующей отмены.</translation>
    </message>
</context>
</TS>
