<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>AddFolder</name>
    <message>
        <source>Skipped: the name is not valid UTF-8</source>
        <translation>Omitido: el nombre no es UTF-8 válido</translation>
    </message>
    <message>
        <source>Skipped: a symbolic link to a file outside the searched folder</source>
        <translation>Omitido: un enlace simbólico a un archivo fuera de la carpeta buscada</translation>
    </message>
    <message>
        <source>Skipped: a folder path of 260 characters or more</source>
        <translation>Omitido: una ruta de carpeta de 260 caracteres o más</translation>
    </message>
    <message>
        <source>Skipped: a folder name with a control character, &quot;?&quot; or U+FFFD</source>
        <translation>Omitido: un nombre de carpeta con un carácter de control, &quot;?&quot; o U+FFFD</translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 necesita un valor</translation>
    </message>
    <message>
        <source>%1 is not valid UTF-8</source>
        <translation>%1 no es UTF-8 válido</translation>
    </message>
    <message>
        <source>unknown operation %1</source>
        <translation>operación desconocida %1</translation>
    </message>
    <message>
        <source>; did you mean &apos;%1&apos;?</source>
        <translation>; ¿quería decir &apos;%1&apos;?</translation>
    </message>
    <message>
        <source> (one of %1)</source>
        <translation> (una de %1)</translation>
    </message>
    <message>
        <source>%1 needs %2</source>
        <translation>%1 necesita %2</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>opción desconocida %1</translation>
    </message>
    <message>
        <source>%1 needs a whole number from %2 to %3, not %4</source>
        <translation>%1 necesita un número entero de %2 a %3, no %4</translation>
    </message>
    <message>
        <source>--out needs a folder</source>
        <translation>--out necesita una carpeta</translation>
    </message>
    <message>
        <source>an extension (* for every file)</source>
        <translation>una extensión (* para todos los archivos)</translation>
    </message>
    <message>
        <source>a glob</source>
        <translation>un patrón</translation>
    </message>
    <message>
        <source>--exclude needs a glob</source>
        <translation>--exclude necesita un patrón</translation>
    </message>
    <message>
        <source>--files-from needs a file (- for standard input)</source>
        <translation>--files-from necesita un archivo (- para la entrada estándar)</translation>
    </message>
    <message>
        <source>--encoding needs the name of a code page (one of %1), not %2</source>
        <translation>--encoding necesita el nombre de una página de códigos (una de %1), no %2</translation>
    </message>
    <message>
        <source>--color needs auto, always or never, not %1</source>
        <translation>--color necesita auto, always o never, no %1</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 no admite valor</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 aparece dos veces</translation>
    </message>
    <message>
        <source>the PATH - (standard input) goes alone</source>
        <translation>la RUTA - (entrada estándar) va sola</translation>
    </message>
    <message>
        <source>the PATH - and --files-from cannot be used together</source>
        <translation>la RUTA - y --files-from no pueden usarse juntas</translation>
    </message>
    <message>
        <source>the PATH - (standard input) writes its result to standard output: leave out --out and --in-place</source>
        <translation>la RUTA - (entrada estándar) escribe su resultado en la salida estándar: quite --out e --in-place</translation>
    </message>
    <message>
        <source>remove needs an OPERATION</source>
        <translation>remove necesita una OPERACIÓN</translation>
    </message>
    <message>
        <source>line needs a number N, not %1</source>
        <translation>line necesita un número N, no %1</translation>
    </message>
    <message>
        <source>TEXT must not be empty</source>
        <translation>TEXT no puede estar vacío</translation>
    </message>
    <message>
        <source>--diff and --json cannot be used together</source>
        <translation>--diff y --json no pueden usarse juntas</translation>
    </message>
    <message>
        <source>--crlf and --keep-line-ends cannot be used together</source>
        <translation>--crlf y --keep-line-ends no pueden usarse juntas</translation>
    </message>
    <message>
        <source>--null goes with --files-from</source>
        <translation>--null va con --files-from</translation>
    </message>
    <message>
        <source>%1 does not go with standard input filtered to standard output</source>
        <translation>%1 no va con el filtrado de la entrada estándar a la salida estándar</translation>
    </message>
    <message>
        <source>say where the results go: --out DIR or --in-place (exactly one)</source>
        <translation>indique adónde van los resultados: --out DIR o --in-place (exactamente uno)</translation>
    </message>
    <message>
        <source>no PATH given</source>
        <translation>no se ha dado ninguna RUTA</translation>
    </message>
    <message>
        <source>no PATH given (or pipe the text into standard input)</source>
        <translation>no se ha dado ninguna RUTA (o pase el texto por la entrada estándar)</translation>
    </message>
    <message>
        <source>--mkdir goes with --out DIR</source>
        <translation>--mkdir va con --out DIR</translation>
    </message>
    <message>
        <source>--keep-tree and --flat cannot be used together</source>
        <translation>--keep-tree y --flat no pueden usarse juntas</translation>
    </message>
    <message>
        <source>%1 goes with --out DIR</source>
        <translation>%1 va con --out DIR</translation>
    </message>
    <message>
        <source>undo takes no &apos;%1&apos;</source>
        <translation>undo no admite &apos;%1&apos;</translation>
    </message>
    <message>
        <source>undo --list takes no RUN and no --dry-run</source>
        <translation>undo --list no admite EJECUCIÓN ni --dry-run</translation>
    </message>
    <message>
        <source>Where the results go (one of -o and -i; neither when filtering standard input):</source>
        <translation>Adónde van los resultados (-o o -i; ninguno al filtrar la entrada estándar):</translation>
    </message>
    <message>
        <source>Which files a folder PATH gives (.git, .hg and .svn are never entered):</source>
        <translation>Qué archivos da una RUTA de carpeta (nunca entra en .git, .hg ni .svn):</translation>
    </message>
    <message>
        <source>Encodings and line ends:</source>
        <translation>Codificaciones y finales de línea:</translation>
    </message>
    <message>
        <source>What is printed:</source>
        <translation>Qué se imprime:</translation>
    </message>
    <message>
        <source>Other:</source>
        <translation>Otras:</translation>
    </message>
    <message>
        <source>There is no run to undo.
</source>
        <translation>No hay ninguna ejecución que deshacer.
</translation>
    </message>
    <message>
        <source>in place, in %1</source>
        <translation>en su sitio, en %1</translation>
    </message>
    <message>
        <source>into %1</source>
        <translation>en %1</translation>
    </message>
    <message>
        <source>started %1 by the %2: %3 %4</source>
        <translation>iniciada el %1 por %2: %3 %4</translation>
    </message>
    <message>
        <source>command line</source>
        <translation>la línea de órdenes</translation>
    </message>
    <message>
        <source>window</source>
        <translation>la ventana</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 archivo</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 archivos</translation>
    </message>
    <message>
        <source>still in progress</source>
        <translation>aún en curso</translation>
    </message>
    <message>
        <source>%1 of %2 can still be taken back</source>
        <translation>%1 de %2 aún pueden deshacerse</translation>
    </message>
    <message>
        <source>strelmark: no folder for the undo store: set HOME or XDG_DATA_HOME
</source>
        <translation>strelmark: no hay carpeta para el almacén de deshacer: defina HOME o XDG_DATA_HOME
</translation>
    </message>
    <message>
        <source>Undoing the run of the %1 started %2 (%3 files) would do this:
</source>
        <translation>Deshacer la ejecución de %1 iniciada el %2 (%3 archivos) haría esto:
</translation>
    </message>
    <message>
        <source>Undid the run of the %1 started %2 (%3 files).
</source>
        <translation>Deshecha la ejecución de %1 iniciada el %2 (%3 archivos).
</translation>
    </message>
    <message>
        <source>strelmark: not restored, %1: %2
</source>
        <translation>strelmark: no restaurado, %1: %2
</translation>
    </message>
    <message>
        <source>there is no file or folder &apos;%1&apos;</source>
        <translation>no existe el archivo o la carpeta &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Try &apos;strelmark --help&apos; for more information.</source>
        <translation>Pruebe &apos;strelmark --help&apos; para más información.</translation>
    </message>
    <message>
        <source>into the folder DIR: a folder PATH&apos;s files at their
path below that folder, a file PATH under its name</source>
        <translation>en la carpeta DIR: los archivos de una RUTA carpeta
en su ruta debajo, una RUTA archivo con su nombre</translation>
    </message>
    <message>
        <source>in place of each input file</source>
        <translation>en lugar de cada archivo de entrada</translation>
    </message>
    <message>
        <source>create DIR and its parents when they are missing</source>
        <translation>crear DIR y sus padres si faltan</translation>
    </message>
    <message>
        <source>every result at its path below DIR, a file PATH&apos;s
too (its path from the current folder)</source>
        <translation>cada resultado en su ruta bajo DIR, también el de una
RUTA archivo (su ruta desde la carpeta actual)</translation>
    </message>
    <message>
        <source>every result in DIR itself, under its file name (the
window&apos;s rule: of two equal names the later wins)</source>
        <translation>cada resultado en DIR mismo, con su nombre (regla de
la ventana: de dos nombres iguales gana el último)</translation>
    </message>
    <message>
        <source>files named *.EXT (default html,htm; * for every
file); repeat it, or give a comma list</source>
        <translation>archivos llamados *.EXT (por omisión html,htm; * para
todos); repítala o dé una lista con comas</translation>
    </message>
    <message>
        <source>only files whose path below the folder matches GLOB
(gitignore style, ** included); repeatable</source>
        <translation>solo archivos cuya ruta bajo la carpeta coincide con
GLOB (estilo gitignore, ** incluido); repetible</translation>
    </message>
    <message>
        <source>leave out the files and whole folders that match
GLOB, never opening such a folder; repeatable</source>
        <translation>dejar fuera archivos y carpetas enteras que coinciden
con GLOB, sin abrir esas carpetas; repetible</translation>
    </message>
    <message>
        <source>take the hidden files too (names starting with .)</source>
        <translation>tomar también los ocultos (nombres que empiezan por .)</translation>
    </message>
    <message>
        <source>go at most N levels down (1: the folder&apos;s own files)</source>
        <translation>bajar como mucho N niveles (1: solo la carpeta)</translation>
    </message>
    <message>
        <source>leave out what .gitignore, .ignore and
.git/info/exclude files leave out</source>
        <translation>dejar fuera lo que dejan fuera .gitignore, .ignore y
.git/info/exclude</translation>
    </message>
    <message>
        <source>also the files that FILE names, one a line, in its
order (- for standard input)</source>
        <translation>también los archivos que nombra FILE, uno por línea,
en su orden (- para la entrada estándar)</translation>
    </message>
    <message>
        <source>the --files-from list ends each name with NUL</source>
        <translation>la lista de --files-from termina cada nombre con NUL</translation>
    </message>
    <message>
        <source>files with a NUL byte are text too (as grep -a);
otherwise they are binary and left alone</source>
        <translation>los archivos con un byte NUL también son texto (como
grep -a); si no, son binarios y no se tocan</translation>
    </message>
    <message>
        <source>the code page of lines that are not UTF-8, in files
that name none (default windows-1252)</source>
        <translation>la página de códigos de las líneas que no son UTF-8,
en archivos que no la indican (omisión: windows-1252)</translation>
    </message>
    <message>
        <source>join the kept lines with CR LF, none after the last
(the window&apos;s rule)</source>
        <translation>unir las líneas conservadas con CR LF, nada tras la
última (regla de la ventana)</translation>
    </message>
    <message>
        <source>each kept line keeps its own line end (the default):
a file of which nothing is removed stays as it is</source>
        <translation>cada línea conservada mantiene su final (por omisión):
un archivo del que no se quita nada queda igual</translation>
    </message>
    <message>
        <source>write nothing: list the files that would change</source>
        <translation>no escribir nada: listar los archivos que cambiarían</translation>
    </message>
    <message>
        <source>list the runs kept, newest first, numbered</source>
        <translation>listar las ejecuciones guardadas, numeradas, recientes antes</translation>
    </message>
    <message>
        <source>write nothing: print a unified diff of the changes</source>
        <translation>no escribir nada: imprimir un diff unificado de cambios</translation>
    </message>
    <message>
        <source>one JSON object per file, then a summary object</source>
        <translation>un objeto JSON por archivo y luego uno de resumen</translation>
    </message>
    <message>
        <source>no progress, summary or listing: only errors</source>
        <translation>sin progreso, resumen ni lista: solo errores</translation>
    </message>
    <message>
        <source>colour the diff and the outcomes: auto (on a
terminal, unless NO_COLOR is set), always or never</source>
        <translation>colorear el diff y los resultados: auto (en un
terminal, salvo con NO_COLOR definido), always o never</translation>
    </message>
    <message>
        <source>files worked on at once (default: the processors)</source>
        <translation>archivos a la vez (por omisión: los procesadores)</translation>
    </message>
    <message>
        <source>print this help and exit</source>
        <translation>imprimir esta ayuda y salir</translation>
    </message>
    <message>
        <source>print the version and exit</source>
        <translation>imprimir la versión y salir</translation>
    </message>
    <message>
        <source>--out %1 is not a folder</source>
        <translation>--out %1 no es una carpeta</translation>
    </message>
    <message>
        <source>the folder %1 does not exist (--mkdir makes it)</source>
        <translation>la carpeta %1 no existe (--mkdir la crea)</translation>
    </message>
    <message>
        <source>cannot make the folder %1: %2</source>
        <translation>no se puede crear la carpeta %1: %2</translation>
    </message>
    <message>
        <source>no folder for the undo store: set HOME or XDG_DATA_HOME (nothing was changed)</source>
        <translation>no hay carpeta para el almacén de deshacer: defina HOME o XDG_DATA_HOME (no se ha cambiado nada)</translation>
    </message>
    <message>
        <source>the undo store cannot be used: %1: %2 (nothing was changed)</source>
        <translation>el almacén de deshacer no se puede usar: %1: %2 (no se ha cambiado nada)</translation>
    </message>
    <message>
        <source>cannot write the output: %1</source>
        <translation>no se puede escribir la salida: %1</translation>
    </message>
    <message>
        <source>character</source>
        <translation>carácter</translation>
    </message>
    <message>
        <source>characters</source>
        <translation>caracteres</translation>
    </message>
    <message>
        <source>line</source>
        <translation>línea</translation>
    </message>
    <message>
        <source>lines</source>
        <translation>líneas</translation>
    </message>
    <message>
        <source>%1 removed</source>
        <translation>%1 menos</translation>
    </message>
    <message>
        <source>Every line of %1 would be removed: no result is written.
</source>
        <translation>Se quitarían todas las líneas de %1: no se escribe ningún resultado.
</translation>
    </message>
    <message>
        <source>The result of %1 is the same text; it would be written to %2.
</source>
        <translation>El resultado de %1 es el mismo texto; se escribiría en %2.
</translation>
    </message>
    <message>
        <source>standard input holds a NUL byte (binary): passed through unchanged</source>
        <translation>la entrada estándar contiene un byte NUL (binaria): se pasa sin cambios</translation>
    </message>
    <message>
        <source>empty result, not written</source>
        <translation>resultado vacío, no escrito</translation>
    </message>
    <message>
        <source>binary, left alone</source>
        <translation>binario, sin tocar</translation>
    </message>
    <message>
        <source>cannot be decoded, left alone</source>
        <translation>no se puede decodificar, sin tocar</translation>
    </message>
    <message>
        <source>unreadable</source>
        <translation>ilegible</translation>
    </message>
    <message>
        <source>cannot be written</source>
        <translation>no se puede escribir</translation>
    </message>
    <message>
        <source>cannot be used</source>
        <translation>no se puede usar</translation>
    </message>
    <message>
        <source>; a run reads the result of file %1</source>
        <translation>; una ejecución lee el resultado del archivo %1</translation>
    </message>
    <message>
        <source>; replaces the result of file %1</source>
        <translation>; sustituye el resultado del archivo %1</translation>
    </message>
    <message>
        <source>%1/%2 files  %3 MB/s  </source>
        <translation>%1/%2 archivos  %3 MB/s  </translation>
    </message>
    <message>
        <source>Stopped by %1. </source>
        <translation>Detenido por %1. </translation>
    </message>
    <message>
        <source>Dry run, nothing written. </source>
        <translation>Simulación, no se escribe nada. </translation>
    </message>
    <message>
        <source>Done. </source>
        <translation>Hecho. </translation>
    </message>
    <message>
        <source>file</source>
        <translation>archivo</translation>
    </message>
    <message>
        <source>files</source>
        <translation>archivos</translation>
    </message>
    <message>
        <source>would change</source>
        <translation>cambiarían</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>cambiados</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>%1 fallidos</translation>
    </message>
    <message>
        <source>, %1 binary (left alone)</source>
        <translation>, %1 binarios (sin tocar)</translation>
    </message>
    <message>
        <source>%1, %2 unchanged, %3 empty (%4)%5, %6</source>
        <translation>%1, %2 sin cambios, %3 vacíos (%4)%5, %6</translation>
    </message>
    <message>
        <source>would not be written</source>
        <translation>no se escribirían</translation>
    </message>
    <message>
        <source>not written</source>
        <translation>no escritos</translation>
    </message>
    <message>
        <source>, %1 not processed</source>
        <translation>, %1 sin procesar</translation>
    </message>
    <message>
        <source>; %1 removed; %2 s.
</source>
        <translation>; %1 menos; %2 s.
</translation>
    </message>
    <message>
        <source>stopped by %1; %2 not processed</source>
        <translation>detenido por %1; %2 sin procesar</translation>
    </message>
    <message>
        <source>file was</source>
        <translation>archivo</translation>
    </message>
    <message>
        <source>files were</source>
        <translation>archivos</translation>
    </message>
    <message>
        <source>remove every line that contains TEXT</source>
        <translation>quitar cada línea que contiene TEXT</translation>
    </message>
    <message>
        <source>remove the lines without TEXT, and empty lines</source>
        <translation>quitar las líneas sin TEXT y las vacías</translation>
    </message>
    <message>
        <source>remove every occurrence of TEXT from each line</source>
        <translation>quitar cada aparición de TEXT de cada línea</translation>
    </message>
    <message>
        <source>keep only the occurrences of TEXT; other lines go</source>
        <translation>conservar solo las apariciones de TEXT</translation>
    </message>
    <message>
        <source>remove line number N (counted from 1)</source>
        <translation>quitar la línea número N (contando desde 1)</translation>
    </message>
    <message>
        <source>remove empty lines (a line of blanks stays)</source>
        <translation>quitar líneas vacías (las de espacios quedan)</translation>
    </message>
    <message>
        <source>undo --list takes no --force</source>
        <translation>undo --list no admite --force</translation>
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
        <translation>Uso: strelmark undo [EJECUCIÓN] [-n | --dry-run] [--force] [-q | --quiet]
     strelmark undo -l | --list

Deshace una ejecución, de la ventana o de la línea de órdenes: cada archivo que
sustituyó se repone, cada archivo que creó se elimina, y un archivo cambiado
desde entonces se deja como está. Sin EJECUCIÓN, la última; EJECUCIÓN es el
número o el nombre que muestra --list (1 es la más reciente).

  -l, --list      las ejecuciones guardadas: cuándo, dónde, cuántos archivos,
                  qué se hizo y cuántos archivos aún se pueden reponer
  -n, --dry-run   no cambiar nada: decir qué haría deshacer con cada archivo
      --force     una ejecución cuyo registro no se lee entero: restaurar
                  lo que nombra su parte legible
  -q, --quiet     imprimir solo los errores
  -h, --help      imprimir esta ayuda y salir
  -V, --version   imprimir la versión y salir
</translation>
    </message>
    <message>
        <source>undo a run whose record does not read whole: put
back what the part that reads names</source>
        <translation>deshacer una ejecución cuyo registro no se lee
entero: restaurar lo que nombra su parte legible</translation>
    </message>
    <message>
        <source>, %1 skipped by the folder search</source>
        <translation>, %1 omitidos por la búsqueda en carpetas</translation>
    </message>
    <message>
        <source>Skipped: the path is longer than the system allows</source>
        <translation>Omitido: la ruta es más larga de lo que el sistema permite</translation>
    </message>
    <message>
        <source>Skipped: the name is not valid UTF-8</source>
        <translation>Omitido: el nombre no es UTF-8 válido</translation>
    </message>
    <message>
        <source>Skipped: a symbolic link to a file outside the searched folder</source>
        <translation>Omitido: un enlace simbólico a un archivo fuera de la carpeta buscada</translation>
    </message>
    <message>
        <source>waiting for another run to finish</source>
        <translation>esperando a que termine otra ejecución</translation>
    </message>
    <message>
        <source>replace needs TEXT and WITH</source>
        <translation>replace necesita TEXT y WITH</translation>
    </message>
    <message>
        <source>How TEXT is matched (by default: literally, letter case ignored):</source>
        <translation>Cómo se busca TEXT (por defecto: literalmente, sin distinguir mayúsculas):</translation>
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
        <translation>Uso: strelmark remove OPERACIÓN [TEXT|N] (-o DIR | -i) [opciones] RUTA...
     strelmark remove OPERACIÓN [TEXT|N] [opciones] &lt; ENTRADA &gt; SALIDA
     strelmark replace TEXT WITH (-o DIR | -i) [opciones] RUTA...
                                  reemplazar cada coincidencia de TEXT por WITH
     strelmark undo [EJECUCIÓN | --list] [--dry-run] [--force] [-q]
                                  deshacer una ejecución, la última por omisión
     strelmark --help | --version
     strelmark [ARCHIVO|CARPETA]...  abrir la ventana, con ellos en su lista

Quita líneas o caracteres de muchos archivos de texto a la vez, como la
ventana.

Operaciones:
</translation>
    </message>
    <message>
        <source>TEXT is taken whole, never trimmed, and compared without regard to letter
case; it must not be empty. N is any number, rounded half to even. replace
takes every option of remove; WITH is literal unless --regex is given.
</source>
        <translation>TEXT se toma entero, nunca recortado, y se compara sin distinguir mayúsculas
de minúsculas; no puede estar vacío. N es cualquier número, redondeado al par
más cercano.
replace admite todas las opciones de remove; WITH es literal salvo con --regex.
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
Una RUTA que es una carpeta se recorre nivel a nivel; cualquier otra RUTA se
toma tal cual. Sin RUTA, -o ni -i, la entrada estándar se filtra a la salida
estándar, como hace sed (igual con la RUTA -), y no se guarda nada para
deshacer. Ponga -- delante de las RUTAS que empiezan por &quot;-&quot;. Un resultado sin
ninguna línea no se escribe; un resultado igual al archivo que ya existe no se
reescribe. Cada ejecución que escribe guarda lo que sustituye: `strelmark undo`
la deshace.

Estado de salida: 0 todo hecho, 1 fallaron algunos archivos, 2 error de uso,
130 o 143 detenido por SIGINT o SIGTERM (lo terminado se conserva).

Ejemplos:
  strelmark remove lines-containing &apos;meta http&apos; -o ~/site-new --mkdir ~/site
  strelmark remove blank-lines -e txt,md -E drafts -i -n notes/
  find site -print0 | strelmark remove text &apos;&lt;br&gt;&apos; -i --files-from - -0
  curl -s URL | strelmark remove lines-containing &apos;&lt;script&apos; &gt; page.html
  strelmark replace --regex &apos;(\w+)@old\.example&apos; &apos;$1@new.example&apos; -i site/
  strelmark remove lines-containing -w --match-case cat -i notes.txt

Los detalles y los campos JSON están en strelmark(1).
</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos; (remove, replace, undo, --help, --version)</source>
        <translation>orden desconocida &apos;%1&apos; (remove, replace, undo, --help, --version)</translation>
    </message>
    <message>
        <source>letter case counts: &quot;a&quot; is no &quot;A&quot;</source>
        <translation>las mayúsculas cuentan: &quot;a&quot; no es &quot;A&quot;</translation>
    </message>
    <message>
        <source>only whole words: a match with no letter, digit or
underscore just before or after it</source>
        <translation>solo palabras enteras: sin letra, dígito ni guion
bajo justo antes o después</translation>
    </message>
    <message>
        <source>TEXT is a regular expression (Perl-compatible,
PCRE2); with replace, WITH may name groups: $1,
${name}, and $$ for a dollar</source>
        <translation>TEXT es una expresión regular (compatible con Perl,
PCRE2); con replace, WITH puede nombrar grupos: $1,
${name}, y $$ para un dólar</translation>
    </message>
</context>
<context>
    <name>CodePages</name>
    <message>
        <source>Central European</source>
        <translation>Europa central</translation>
    </message>
    <message>
        <source>Cyrillic</source>
        <translation>Cirílico</translation>
    </message>
    <message>
        <source>Western European</source>
        <translation>Europa occidental</translation>
    </message>
    <message>
        <source>Greek</source>
        <translation>Griego</translation>
    </message>
    <message>
        <source>Turkish</source>
        <translation>Turco</translation>
    </message>
    <message>
        <source>Hebrew</source>
        <translation>Hebreo</translation>
    </message>
    <message>
        <source>Arabic</source>
        <translation>Árabe</translation>
    </message>
    <message>
        <source>Baltic</source>
        <translation>Báltico</translation>
    </message>
    <message>
        <source>Vietnamese</source>
        <translation>Vietnamita</translation>
    </message>
    <message>
        <source>South European</source>
        <translation>Europa del sur</translation>
    </message>
    <message>
        <source>North European</source>
        <translation>Europa del norte</translation>
    </message>
    <message>
        <source>Nordic</source>
        <translation>Nórdico</translation>
    </message>
    <message>
        <source>Thai</source>
        <translation>Tailandés</translation>
    </message>
    <message>
        <source>Celtic</source>
        <translation>Celta</translation>
    </message>
    <message>
        <source>Western European, with the euro</source>
        <translation>Europa occidental, con el euro</translation>
    </message>
    <message>
        <source>South-Eastern European</source>
        <translation>Europa del sudeste</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Ruso</translation>
    </message>
    <message>
        <source>Ukrainian</source>
        <translation>Ucraniano</translation>
    </message>
</context>
<context>
    <name>Encoding</name>
    <message>
        <source>Binary</source>
        <translation>Binario</translation>
    </message>
    <message>
        <source>Cannot be decoded as </source>
        <translation>No se puede decodificar como </translation>
    </message>
</context>
<context>
    <name>ErrorReport</name>
    <message>
        <source>at line </source>
        <translation>en la línea </translation>
    </message>
    <message>
        <source>Please email screenshot of this message to </source>
        <translation>Envíe una captura de este mensaje a </translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Error de la aplicación</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Memoria agotada</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Error desconocido</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>No coinciden los tipos</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>Desbordamiento</translation>
    </message>
    <message>
        <source>Invalid procedure call or argument</source>
        <translation>Llamada a procedimiento o argumento no válido</translation>
    </message>
    <message>
        <source>Invalid property value</source>
        <translation>Valor de propiedad no válido</translation>
    </message>
</context>
<context>
    <name>FileError</name>
    <message>
        <source>Is a named pipe, not a regular file</source>
        <translation>Es una tubería con nombre, no un archivo normal</translation>
    </message>
    <message>
        <source>Is a socket, not a regular file</source>
        <translation>Es un socket, no un archivo normal</translation>
    </message>
    <message>
        <source>Is a device, not a regular file</source>
        <translation>Es un dispositivo, no un archivo normal</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>No es un archivo normal</translation>
    </message>
    <message>
        <source>Not writing through a dangling symbolic link</source>
        <translation>No se escribe a través de un enlace simbólico roto</translation>
    </message>
</context>
<context>
    <name>FileListModel</name>
    <message>
        <source>HTML File(s)</source>
        <translation>Archivo(s) HTML</translation>
    </message>
</context>
<context>
    <name>FileListView</name>
    <message>
        <source>Drag and drop files here. Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <translation>Arrastre los archivos aquí. Haga doble clic en un elemento para quitarlo. Lleve la línea | a la derecha, fuera de la ventana, para ver los nombres completos.</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>Please select folder:</source>
        <translation>Seleccione una carpeta:</translation>
    </message>
    <message>
        <source>Add File(s) - Hold Ctrl to select multiple files</source>
        <translation>Añadir archivo(s) – mantenga Ctrl para elegir varios</translation>
    </message>
    <message>
        <source>HTML Files (*.htm*)</source>
        <translation>Archivos HTML (*.htm*)</translation>
    </message>
    <message>
        <source>You&apos;ve selected too many files to add.<byte value="xd"/><byte value="xd"/>Please try adding via the &quot;Add All&quot; button.</source>
        <translation>Ha elegido demasiados archivos para añadir.<byte value="xd"/><byte value="xd"/>Pruebe a añadirlos con el botón «Añadir todos».</translation>
    </message>
    <message>
        <source>Enter file extension to load:<byte value="xd"/><byte value="xd"/>(* for all files, txt for all txt files, doc for all doc files, etc.)</source>
        <translation>Escriba la extensión de los archivos que cargar:<byte value="xd"/><byte value="xd"/>(* para todos, txt para todos los txt, doc para todos los doc, etc.)</translation>
    </message>
    <message>
        <source>Add HTML Files</source>
        <translation>Añadir archivos HTML</translation>
    </message>
    <message>
        <source>Add All HTML Files In Folder</source>
        <translation>Todo HTML de una carpeta</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Vaciar lista</translation>
    </message>
    <message>
        <source>Load Sample/Example Files</source>
        <translation>Cargar ejemplos</translation>
    </message>
    <message>
        <source>Condition Options</source>
        <translation>Condición</translation>
    </message>
    <message>
        <source>If file contains</source>
        <translation>Si contiene</translation>
    </message>
    <message>
        <source>Then</source>
        <translation>Entonces</translation>
    </message>
    <message>
        <source>Save Option</source>
        <translation>Guardado</translation>
    </message>
    <message>
        <source>Save results to this folder:</source>
        <translation>Guardar en esta carpeta:</translation>
    </message>
    <message>
        <source>Save results in folder of original file</source>
        <translation>En la carpeta del original</translation>
    </message>
    <message>
        <source>Start Removing</source>
        <translation>Empezar a quitar</translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>Progreso</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Detener</translation>
    </message>
    <message>
        <source>Preview...</source>
        <translation>Vista previa...</translation>
    </message>
    <message>
        <source>Preview 1 file...</source>
        <translation>Vista previa de 1 archivo...</translation>
    </message>
    <message>
        <source>Preview %1 files...</source>
        <translation>Vista previa de %1 archivos...</translation>
    </message>
    <message>
        <source>Undo Runs...</source>
        <translation>Deshacer ejecuciones...</translation>
    </message>
    <message>
        <source>Keep each file&apos;s line ends</source>
        <translation>Conservar los finales de línea de cada archivo</translation>
    </message>
    <message>
        <source>Other files are in</source>
        <translation>Los demás archivos están en</translation>
    </message>
    <message>
        <source>HTML File(s)</source>
        <translation>Archivo(s) HTML</translation>
    </message>
    <message>
        <source>Output folder</source>
        <translation>Carpeta de salida</translation>
    </message>
    <message>
        <source>Choose output folder</source>
        <translation>Elegir carpeta de salida</translation>
    </message>
    <message>
        <source>&quot;Keep each file&apos;s line ends&quot; has changed since the preview. Preview again to see what the run would do.</source>
        <translation>«Conservar los finales de línea de cada archivo» ha cambiado desde la vista previa. Vuelva a abrirla para ver qué haría la ejecución.</translation>
    </message>
    <message>
        <source>To take this run back: &quot;Undo Last Run&quot; in the list&apos;s menu (right-click on the list), Ctrl+Z, or the command &quot;strelmark undo&quot;.</source>
        <translation>Para deshacer esta ejecución: «Deshacer la última ejecución» en el menú de la lista (clic derecho en la lista), Ctrl+Z o la orden «strelmark undo».</translation>
    </message>
    <message>
        <source>in place, %1</source>
        <translation>en su sitio, %1</translation>
    </message>
    <message>
        <source>in progress</source>
        <translation>en curso</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 de %2</translation>
    </message>
    <message>
        <source><byte value="xd"/><byte value="xd"/>The details list the files left as they are.</source>
        <translation><byte value="xd"/><byte value="xd"/>Los detalles listan los archivos que quedan como están.</translation>
    </message>
    <message>
        <source>byte</source>
        <translation>byte</translation>
    </message>
    <message>
        <source>bytes</source>
        <translation>bytes</translation>
    </message>
    <message>
        <source>Undo Last Run</source>
        <translation>Deshacer la última ejecución</translation>
    </message>
    <message>
        <source>Undo Last Run (%1 %2, %3)</source>
        <translation>Deshacer la última ejecución (%1 %2, %3)</translation>
    </message>
    <message>
        <source>file</source>
        <translation>archivo</translation>
    </message>
    <message>
        <source>files</source>
        <translation>archivos</translation>
    </message>
    <message>
        <source>1 file in the list.</source>
        <translation>1 archivo en la lista.</translation>
    </message>
    <message>
        <source>%1 files in the list.</source>
        <translation>%1 archivos en la lista.</translation>
    </message>
    <message>
        <source>(no home folder)</source>
        <translation>(sin carpeta personal)</translation>
    </message>
    <message>
        <source>This run cannot be taken back: the undo store cannot be used (</source>
        <translation>Esta ejecución no se puede deshacer: el almacén de deshacer no se puede usar (</translation>
    </message>
    <message>
        <source>Stop the run?</source>
        <translation>¿Detener la ejecución?</translation>
    </message>
    <message>
        <source>There is no run to undo.</source>
        <translation>No hay ninguna ejecución que deshacer.</translation>
    </message>
    <message>
        <source>Undo the last run?<byte value="xd"/><byte value="xd"/>%1 it replaced or created (started %2) go back to what they were before it: each file it replaced is put back, each file it created is removed. A file changed since the run is left alone.</source>
        <translation>¿Deshacer la última ejecución?<byte value="xd"/><byte value="xd"/>%1 que sustituyó o creó (iniciada el %2) vuelven a ser como antes: cada archivo sustituido se repone, cada archivo creado se elimina. Un archivo cambiado desde entonces se deja como está.</translation>
    </message>
    <message>
        <source>The file</source>
        <translation>El archivo</translation>
    </message>
    <message>
        <source>The %1 files</source>
        <translation>Los %1 archivos</translation>
    </message>
    <message>
        <source>The last run is undone: </source>
        <translation>La última ejecución está deshecha: </translation>
    </message>
    <message>
        <source>The runs kept, newest first. The run chosen goes back as &quot;Undo Last Run&quot; takes back the last: each file it replaced is put back, each file it created is removed, and a file edited since is left alone.</source>
        <translation>Las ejecuciones guardadas, las más recientes primero. La elegida se deshace como «Deshacer la última ejecución» deshace la última: cada archivo sustituido se repone, cada archivo creado se elimina y un archivo editado después se deja como está.</translation>
    </message>
    <message>
        <source>Started</source>
        <translation>Iniciada</translation>
    </message>
    <message>
        <source>Where</source>
        <translation>Dónde</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Archivos</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>Operación</translation>
    </message>
    <message>
        <source>Can restore</source>
        <translation>Reponibles</translation>
    </message>
    <message>
        <source>Undo Run</source>
        <translation>Deshacer ejecución</translation>
    </message>
    <message>
        <source>Undo Runs</source>
        <translation>Deshacer ejecuciones</translation>
    </message>
    <message>
        <source>Undo the run started %1?<byte value="xd"/><byte value="xd"/>%2<byte value="xd"/>%3: %4<byte value="xd"/><byte value="xd"/>A file changed since the run is left alone.</source>
        <translation>¿Deshacer la ejecución iniciada el %1?<byte value="xd"/><byte value="xd"/>%2<byte value="xd"/>%3: %4<byte value="xd"/><byte value="xd"/>Un archivo cambiado desde entonces se deja como está.</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 archivo</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 archivos</translation>
    </message>
    <message>
        <source>The run is undone: </source>
        <translation>La ejecución está deshecha: </translation>
    </message>
    <message>
        <source>Waiting for another run to finish</source>
        <translation>Esperando otra ejecución</translation>
    </message>
    <message>
        <source>Match case</source>
        <translation>Distinguir mayúsculas</translation>
    </message>
    <message>
        <source>Whole words</source>
        <translation>Palabras enteras</translation>
    </message>
    <message>
        <source>Regular expression</source>
        <translation>Expresión regular</translation>
    </message>
    <message>
        <source>How the text is matched has changed since the preview. Preview again to see what the run would do.</source>
        <translation>La forma de buscar el texto ha cambiado desde la vista previa. Vuelva a abrir la vista previa para ver qué haría la ejecución.</translation>
    </message>
</context>
<context>
    <name>Operations</name>
    <message>
        <source>Remove all lines containing those characters</source>
        <translation>Quitar las líneas que contienen esos caracteres</translation>
    </message>
    <message>
        <source>Remove all lines not containing those characters</source>
        <translation>Quitar las líneas que no contienen esos caracteres</translation>
    </message>
    <message>
        <source>Remove all characters except those characters</source>
        <translation>Quitar todos los caracteres salvo esos</translation>
    </message>
    <message>
        <source>Remove line number n in all files</source>
        <translation>Quitar la línea número n en todos los archivos</translation>
    </message>
    <message>
        <source>Remove blank lines in all files</source>
        <translation>Quitar las líneas vacías en todos los archivos</translation>
    </message>
    <message>
        <source>Remove those characters</source>
        <translation>Quitar esos caracteres</translation>
    </message>
</context>
<context>
    <name>PointerPicture</name>
    <message>
        <source>Invalid picture</source>
        <translation>Imagen no válida</translation>
    </message>
</context>
<context>
    <name>PreviewDialog</name>
    <message>
        <source>Reading %1 ...</source>
        <translation>Leyendo %1 ...</translation>
    </message>
    <message>
        <source>%1: line ends only; no line would change, but the result has CR LF between its lines and none after the last.</source>
        <translation>%1: solo finales de línea; ninguna línea cambiaría, pero el resultado tiene CR LF entre sus líneas y nada tras la última.</translation>
    </message>
    <message>
        <source>%1: no line would change.</source>
        <translation>%1: ninguna línea cambiaría.</translation>
    </message>
    <message>
        <source>%1: %2 removed; first change at line %3.</source>
        <translation>%1: %2 menos; primer cambio en la línea %3.</translation>
    </message>
    <message>
        <source> Showing lines %1 to %2; the file goes on.</source>
        <translation> Se muestran las líneas %1 a %2; el archivo sigue.</translation>
    </message>
    <message>
        <source> The run would read row %1&apos;s result here; this is the file as it is now.</source>
        <translation> La ejecución leería aquí el resultado de la fila %1; este es el archivo tal como está ahora.</translation>
    </message>
    <message>
        <source>(empty line)</source>
        <translation>(línea vacía)</translation>
    </message>
    <message>
        <source> … (%1 more bytes)</source>
        <translation> … (%1 bytes más)</translation>
    </message>
    <message>
        <source>Select a file to see its lines, with what would be removed marked.</source>
        <translation>Elija un archivo para ver sus líneas, con lo que se quitaría marcado.</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vista previa</translation>
    </message>
    <message>
        <source>Preview progress</source>
        <translation>Progreso de la vista previa</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Archivos</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Archivo</translation>
    </message>
    <message>
        <source>Would remove</source>
        <translation>Quitaría</translation>
    </message>
    <message>
        <source>What would happen</source>
        <translation>Qué pasaría</translation>
    </message>
    <message>
        <source>Lines of the selected file</source>
        <translation>Líneas del archivo elegido</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Aplicar</translation>
    </message>
    <message>
        <source>Runs the ticked rows, in this order, as &quot;Start Removing&quot; would</source>
        <translation>Ejecuta las filas marcadas, en este orden, como lo haría «Empezar a quitar»</translation>
    </message>
    <message>
        <source>written</source>
        <translation>escrito</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>sin cambios</translation>
    </message>
    <message>
        <source>empty — not written</source>
        <translation>vacío — no se escribe</translation>
    </message>
    <message>
        <source>binary — left alone</source>
        <translation>binario — sin tocar</translation>
    </message>
    <message>
        <source>left alone: </source>
        <translation>sin tocar: </translation>
    </message>
    <message>
        <source>cannot be read: </source>
        <translation>no se puede leer: </translation>
    </message>
    <message>
        <source>cannot be written: </source>
        <translation>no se puede escribir: </translation>
    </message>
    <message>
        <source>would overwrite the result of an earlier row (row %1)</source>
        <translation>sobrescribiría el resultado de una fila anterior (fila %1)</translation>
    </message>
    <message>
        <source>reads the result of an earlier row (row %1), not known yet</source>
        <translation>lee el resultado de una fila anterior (fila %1), aún desconocido</translation>
    </message>
    <message>
        <source>Previewing: %1 (%2 of %3)</source>
        <translation>Vista previa: %1 (%2 de %3)</translation>
    </message>
    <message>
        <source>, line %1</source>
        <translation>, línea %1</translation>
    </message>
    <message>
        <source> with &quot;%1&quot;</source>
        <translation> con «%1»</translation>
    </message>
    <message>
        <source>What &quot;Start Removing&quot; would do now: %1, %2. Nothing is written.</source>
        <translation>«Empezar a quitar» haría: %1, %2. No se escribe nada.</translation>
    </message>
    <message>
        <source>results into </source>
        <translation>resultados en </translation>
    </message>
    <message>
        <source>each result in place of its file</source>
        <translation>cada resultado en lugar de su archivo</translation>
    </message>
    <message>
        <source>
Result: </source>
        <translation>
Resultado: </translation>
    </message>
    <message>
        <source>line ends only</source>
        <translation>solo finales de línea</translation>
    </message>
    <message>
        <source>character</source>
        <translation>carácter</translation>
    </message>
    <message>
        <source>characters</source>
        <translation>caracteres</translation>
    </message>
    <message>
        <source>line</source>
        <translation>línea</translation>
    </message>
    <message>
        <source>lines</source>
        <translation>líneas</translation>
    </message>
    <message>
        <source>cannot be decoded</source>
        <translation>no decodificables</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>no se pueden leer</translation>
    </message>
    <message>
        <source>cannot be written</source>
        <translation>no se puede escribir</translation>
    </message>
    <message>
        <source>would overwrite the result of an earlier row</source>
        <translation>sobrescribirían el resultado de una fila anterior</translation>
    </message>
    <message>
        <source>read the result of an earlier row</source>
        <translation>leen el resultado de una fila anterior</translation>
    </message>
    <message>
        <source>Stopped after %1 of %2 files</source>
        <translation>Detenido tras %1 de %2 archivos</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 archivo</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 archivos</translation>
    </message>
    <message>
        <source>%1 unticked: Apply leaves them out.</source>
        <translation>%1 sin marcar: Aplicar los deja fuera.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>«%1»</translation>
    </message>
    <message>
        <source>pattern too complex</source>
        <translation>patrón demasiado complejo</translation>
    </message>
</context>
<context>
    <name>Run</name>
    <message>
        <source>Out of memory</source>
        <translation>Memoria agotada</translation>
    </message>
</context>
<context>
    <name>RunDriver</name>
    <message>
        <source>Processing: </source>
        <translation>Procesando: </translation>
    </message>
    <message>
        <source>No files added.</source>
        <translation>No se han añadido archivos.</translation>
    </message>
    <message>
        <source>Please choose where to save the results.</source>
        <translation>Elija dónde guardar los resultados.</translation>
    </message>
    <message>
        <source>Folder does not exist. Please select another folder.</source>
        <translation>La carpeta no existe. Seleccione otra carpeta.</translation>
    </message>
    <message>
        <source>Please provide text for: </source>
        <translation>Escriba el texto para: </translation>
    </message>
    <message>
        <source>Enter row number n: </source>
        <translation>Escriba el número de línea n: </translation>
    </message>
    <message>
        <source>Input Row Number n</source>
        <translation>Número de línea n</translation>
    </message>
    <message>
        <source>Must be numeric value.</source>
        <translation>Debe ser un valor numérico.</translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>Progreso</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Hecho.</translation>
    </message>
</context>
<context>
    <name>RunSummary</name>
    <message>
        <source>Stopped after %1 of %2 files.</source>
        <translation>Detenido tras %1 de %2 archivos.</translation>
    </message>
    <message>
        <source>1 file.</source>
        <translation>1 archivo.</translation>
    </message>
    <message>
        <source>%1 files.</source>
        <translation>%1 archivos.</translation>
    </message>
    <message>
        <source>Written: %1</source>
        <translation>Escritos: %1</translation>
    </message>
    <message>
        <source>Unchanged (not rewritten): %1</source>
        <translation>Sin cambios (no reescritos): %1</translation>
    </message>
    <message>
        <source>Empty results (not written): %1</source>
        <translation>Resultados vacíos (no escritos): %1</translation>
    </message>
    <message>
        <source>Binary files (left alone): %1</source>
        <translation>Archivos binarios (sin tocar): %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Fallidos: %1</translation>
    </message>
    <message>
        <source>Output names written more than once: %1</source>
        <translation>Nombres de salida escritos más de una vez: %1</translation>
    </message>
    <message>
        <source>%1 (%2 times)</source>
        <translation>%1 (%2 veces)</translation>
    </message>
    <message>
        <source>Skipped by the folder search: %1</source>
        <translation>Omitidos por la búsqueda en carpetas: %1</translation>
    </message>
    <message>
        <source>Matched with: %1</source>
        <translation>Búsqueda: %1</translation>
    </message>
    <message>
        <source>Pattern too complex (left alone): %1</source>
        <translation>Patrón demasiado complejo (sin tocar): %1</translation>
    </message>
</context>
<context>
    <name>Samples</name>
    <message>
        <source>Would you like this software to open the folder where these sample files are stored (so that you can view them before working with them)?</source>
        <translation>¿Quiere que el programa abra la carpeta donde están estos archivos de ejemplo (para verlos antes de trabajar con ellos)?</translation>
    </message>
</context>
<context>
    <name>StartUp</name>
    <message>
        <source>The web browser could not be started.</source>
        <translation>No se pudo iniciar el navegador web.</translation>
    </message>
</context>
<context>
    <name>Undo</name>
    <message>
        <source>There is no run to undo.</source>
        <translation>No hay ninguna ejecución que deshacer.</translation>
    </message>
    <message>
        <source>That run is still in progress; undo it when it has ended.</source>
        <translation>Esa ejecución sigue en curso; deshágala cuando haya terminado.</translation>
    </message>
    <message>
        <source>The last run is still in progress; undo it when it has ended.</source>
        <translation>La última ejecución sigue en curso; deshágala cuando haya terminado.</translation>
    </message>
    <message>
        <source>There is no such run to undo (it was undone, or dropped as too old).</source>
        <translation>No existe esa ejecución (se deshizo, o se descartó por antigua).</translation>
    </message>
    <message>
        <source>The undo store cannot be used: </source>
        <translation>El almacén de deshacer no se puede usar: </translation>
    </message>
    <message>
        <source>%1 to restore, %2 to remove, %3 to leave alone; nothing was changed.</source>
        <translation>%1 para restaurar, %2 para eliminar, %3 para dejar; no se ha cambiado nada.</translation>
    </message>
    <message>
        <source>Would restore: %1</source>
        <translation>Restauraría: %1</translation>
    </message>
    <message>
        <source>Would remove: %1</source>
        <translation>Eliminaría: %1</translation>
    </message>
    <message>
        <source>Would leave alone, no longer there: %1</source>
        <translation>Dejaría, ya no existe: %1</translation>
    </message>
    <message>
        <source>Would leave alone, changed since the run: %1</source>
        <translation>Dejaría, cambiado desde la ejecución: %1</translation>
    </message>
    <message>
        <source>Would leave alone, %1: %2</source>
        <translation>Dejaría, %1: %2</translation>
    </message>
    <message>
        <source>%1 restored, %2 removed, %3 left alone, %4 failed.</source>
        <translation>%1 restaurados, %2 eliminados, %3 sin tocar, %4 fallidos.</translation>
    </message>
    <message>
        <source>Restored: </source>
        <translation>Restaurado: </translation>
    </message>
    <message>
        <source>Restored without </source>
        <translation>Restaurado sin </translation>
    </message>
    <message>
        <source>Removed: </source>
        <translation>Eliminado: </translation>
    </message>
    <message>
        <source>Left alone, no longer there: </source>
        <translation>Sin tocar, ya no existe: </translation>
    </message>
    <message>
        <source>Left alone, changed since the run: </source>
        <translation>Sin tocar, cambiado desde la ejecución: </translation>
    </message>
    <message>
        <source>Not restored, </source>
        <translation>No restaurado, </translation>
    </message>
    <message>
        <source>The record of the run %1 does not read whole: %2. %3 of its files read. Nothing was changed, and the run and the originals it keeps are kept.</source>
        <translation>El registro de la ejecución %1 no se lee entero: %2. %3 de sus archivos leídos. No se ha cambiado nada; la ejecución y los originales que guarda se conservan.</translation>
    </message>
    <message>
        <source>Not restored, no longer there (kept for the next undo): </source>
        <translation>No restaurado, ya no está (se guarda para el próximo deshacer): </translation>
    </message>
    <message>
        <source>Stopped: %1 files not reached, kept for the next undo.</source>
        <translation>Detenido: %1 archivos no alcanzados, guardados para el próximo deshacer.</translation>
    </message>
</context>
</TS>
