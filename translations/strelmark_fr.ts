<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AddFolder</name>
    <message>
        <source>Skipped: the name is not valid UTF-8</source>
        <translation>Écarté : le nom n&apos;est pas de l&apos;UTF-8 valide</translation>
    </message>
    <message>
        <source>Skipped: a symbolic link to a file outside the searched folder</source>
        <translation>Écarté : un lien symbolique vers un fichier hors du dossier parcouru</translation>
    </message>
    <message>
        <source>Skipped: a folder path of 260 characters or more</source>
        <translation>Écarté : un chemin de dossier de 260 caractères ou plus</translation>
    </message>
    <message>
        <source>Skipped: a folder name with a control character, &quot;?&quot; or U+FFFD</source>
        <translation>Écarté : un nom de dossier avec un caractère de contrôle, &quot;?&quot; ou U+FFFD</translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 demande une valeur</translation>
    </message>
    <message>
        <source>%1 is not valid UTF-8</source>
        <translation>%1 n&apos;est pas en UTF-8 valide</translation>
    </message>
    <message>
        <source>unknown operation %1</source>
        <translation>opération inconnue %1</translation>
    </message>
    <message>
        <source>; did you mean &apos;%1&apos;?</source>
        <translation> ; vouliez-vous dire &apos;%1&apos; ?</translation>
    </message>
    <message>
        <source> (one of %1)</source>
        <translation> (une parmi %1)</translation>
    </message>
    <message>
        <source>%1 needs %2</source>
        <translation>%1 demande %2</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>option inconnue %1</translation>
    </message>
    <message>
        <source>%1 needs a whole number from %2 to %3, not %4</source>
        <translation>%1 demande un nombre entier de %2 à %3, pas %4</translation>
    </message>
    <message>
        <source>--out needs a folder</source>
        <translation>--out demande un dossier</translation>
    </message>
    <message>
        <source>an extension (* for every file)</source>
        <translation>une extension (* pour tous les fichiers)</translation>
    </message>
    <message>
        <source>a glob</source>
        <translation>un motif</translation>
    </message>
    <message>
        <source>--exclude needs a glob</source>
        <translation>--exclude demande un motif</translation>
    </message>
    <message>
        <source>--files-from needs a file (- for standard input)</source>
        <translation>--files-from demande un fichier (- pour l&apos;entrée standard)</translation>
    </message>
    <message>
        <source>--encoding needs the name of a code page (one of %1), not %2</source>
        <translation>--encoding demande le nom d&apos;une page de codes (une parmi %1), pas %2</translation>
    </message>
    <message>
        <source>--color needs auto, always or never, not %1</source>
        <translation>--color demande auto, always ou never, pas %1</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 ne prend pas de valeur</translation>
    </message>
    <message>
        <source>%1 is given twice</source>
        <translation>%1 est donné deux fois</translation>
    </message>
    <message>
        <source>the PATH - (standard input) goes alone</source>
        <translation>le CHEMIN - (entrée standard) va seul</translation>
    </message>
    <message>
        <source>the PATH - and --files-from cannot be used together</source>
        <translation>le CHEMIN - et --files-from ne vont pas ensemble</translation>
    </message>
    <message>
        <source>the PATH - (standard input) writes its result to standard output: leave out --out and --in-place</source>
        <translation>le CHEMIN - (entrée standard) écrit son résultat sur la sortie standard : retirez --out et --in-place</translation>
    </message>
    <message>
        <source>remove needs an OPERATION</source>
        <translation>remove demande une OPÉRATION</translation>
    </message>
    <message>
        <source>line needs a number N, not %1</source>
        <translation>line demande un nombre N, pas %1</translation>
    </message>
    <message>
        <source>TEXT must not be empty</source>
        <translation>TEXT ne doit pas être vide</translation>
    </message>
    <message>
        <source>--diff and --json cannot be used together</source>
        <translation>--diff et --json ne vont pas ensemble</translation>
    </message>
    <message>
        <source>--crlf and --keep-line-ends cannot be used together</source>
        <translation>--crlf et --keep-line-ends ne vont pas ensemble</translation>
    </message>
    <message>
        <source>--null goes with --files-from</source>
        <translation>--null va avec --files-from</translation>
    </message>
    <message>
        <source>%1 does not go with standard input filtered to standard output</source>
        <translation>%1 ne va pas avec le filtrage de l&apos;entrée standard vers la sortie standard</translation>
    </message>
    <message>
        <source>say where the results go: --out DIR or --in-place (exactly one)</source>
        <translation>dites où vont les résultats : --out DIR ou --in-place (un seul des deux)</translation>
    </message>
    <message>
        <source>no PATH given</source>
        <translation>aucun CHEMIN donné</translation>
    </message>
    <message>
        <source>no PATH given (or pipe the text into standard input)</source>
        <translation>aucun CHEMIN donné (ou envoyez le texte sur l&apos;entrée standard)</translation>
    </message>
    <message>
        <source>--mkdir goes with --out DIR</source>
        <translation>--mkdir va avec --out DIR</translation>
    </message>
    <message>
        <source>--keep-tree and --flat cannot be used together</source>
        <translation>--keep-tree et --flat ne vont pas ensemble</translation>
    </message>
    <message>
        <source>%1 goes with --out DIR</source>
        <translation>%1 va avec --out DIR</translation>
    </message>
    <message>
        <source>undo takes no &apos;%1&apos;</source>
        <translation>undo ne prend pas &apos;%1&apos;</translation>
    </message>
    <message>
        <source>undo --list takes no RUN and no --dry-run</source>
        <translation>undo --list ne prend ni PASSAGE ni --dry-run</translation>
    </message>
    <message>
        <source>Where the results go (one of -o and -i; neither when filtering standard input):</source>
        <translation>Où vont les résultats (-o ou -i ; aucun pour filtrer l&apos;entrée standard) :</translation>
    </message>
    <message>
        <source>Which files a folder PATH gives (.git, .hg and .svn are never entered):</source>
        <translation>Quels fichiers donne un CHEMIN dossier (jamais dans .git, .hg ni .svn) :</translation>
    </message>
    <message>
        <source>Encodings and line ends:</source>
        <translation>Encodages et fins de ligne :</translation>
    </message>
    <message>
        <source>What is printed:</source>
        <translation>Ce qui est affiché :</translation>
    </message>
    <message>
        <source>Other:</source>
        <translation>Autres :</translation>
    </message>
    <message>
        <source>There is no run to undo.
</source>
        <translation>Il n&apos;y a aucun passage à annuler.
</translation>
    </message>
    <message>
        <source>in place, in %1</source>
        <translation>sur place, dans %1</translation>
    </message>
    <message>
        <source>into %1</source>
        <translation>vers %1</translation>
    </message>
    <message>
        <source>started %1 by the %2: %3 %4</source>
        <translation>lancé le %1 par %2 : %3 %4</translation>
    </message>
    <message>
        <source>command line</source>
        <translation>la ligne de commande</translation>
    </message>
    <message>
        <source>window</source>
        <translation>la fenêtre</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 fichier</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 fichiers</translation>
    </message>
    <message>
        <source>still in progress</source>
        <translation>encore en cours</translation>
    </message>
    <message>
        <source>%1 of %2 can still be taken back</source>
        <translation>%1 sur %2 peuvent encore être annulés</translation>
    </message>
    <message>
        <source>strelmark: no folder for the undo store: set HOME or XDG_DATA_HOME
</source>
        <translation>strelmark: aucun dossier pour la réserve d&apos;annulation : définissez HOME ou XDG_DATA_HOME
</translation>
    </message>
    <message>
        <source>Undoing the run of the %1 started %2 (%3 files) would do this:
</source>
        <translation>Annuler le passage de %1 lancé le %2 (%3 fichiers) ferait ceci :
</translation>
    </message>
    <message>
        <source>Undid the run of the %1 started %2 (%3 files).
</source>
        <translation>Passage de %1 lancé le %2 (%3 fichiers) annulé.
</translation>
    </message>
    <message>
        <source>strelmark: not restored, %1: %2
</source>
        <translation>strelmark: non restauré, %1 : %2
</translation>
    </message>
    <message>
        <source>there is no file or folder &apos;%1&apos;</source>
        <translation>il n&apos;y a ni fichier ni dossier &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Try &apos;strelmark --help&apos; for more information.</source>
        <translation>Essayez &apos;strelmark --help&apos; pour en savoir plus.</translation>
    </message>
    <message>
        <source>into the folder DIR: a folder PATH&apos;s files at their
path below that folder, a file PATH under its name</source>
        <translation>dans le dossier DIR : les fichiers d&apos;un CHEMIN dossier
à leur chemin dessous, un CHEMIN fichier sous son nom</translation>
    </message>
    <message>
        <source>in place of each input file</source>
        <translation>à la place de chaque fichier d&apos;entrée</translation>
    </message>
    <message>
        <source>create DIR and its parents when they are missing</source>
        <translation>créer DIR et ses parents quand ils manquent</translation>
    </message>
    <message>
        <source>every result at its path below DIR, a file PATH&apos;s
too (its path from the current folder)</source>
        <translation>chaque résultat à son chemin sous DIR, celui d&apos;un
CHEMIN fichier aussi (depuis le dossier courant)</translation>
    </message>
    <message>
        <source>every result in DIR itself, under its file name (the
window&apos;s rule: of two equal names the later wins)</source>
        <translation>chaque résultat dans DIR même, sous son nom (règle de
la fenêtre : de deux noms égaux, le second gagne)</translation>
    </message>
    <message>
        <source>files named *.EXT (default html,htm; * for every
file); repeat it, or give a comma list</source>
        <translation>les fichiers nommés *.EXT (html,htm par défaut ; * pour
tous) ; à répéter, ou une liste à virgules</translation>
    </message>
    <message>
        <source>only files whose path below the folder matches GLOB
(gitignore style, ** included); repeatable</source>
        <translation>seulement les fichiers dont le chemin sous le dossier
correspond à GLOB (style gitignore, ** compris) ;
répétable</translation>
    </message>
    <message>
        <source>leave out the files and whole folders that match
GLOB, never opening such a folder; repeatable</source>
        <translation>écarter les fichiers et dossiers entiers qui
correspondent à GLOB, sans les ouvrir ; répétable</translation>
    </message>
    <message>
        <source>take the hidden files too (names starting with .)</source>
        <translation>prendre aussi les fichiers cachés (noms en .)</translation>
    </message>
    <message>
        <source>go at most N levels down (1: the folder&apos;s own files)</source>
        <translation>descendre de N niveaux au plus (1 : le dossier seul)</translation>
    </message>
    <message>
        <source>leave out what .gitignore, .ignore and
.git/info/exclude files leave out</source>
        <translation>écarter ce que les fichiers .gitignore, .ignore et
.git/info/exclude écartent</translation>
    </message>
    <message>
        <source>also the files that FILE names, one a line, in its
order (- for standard input)</source>
        <translation>aussi les fichiers que FILE nomme, un par ligne, dans
son ordre (- pour l&apos;entrée standard)</translation>
    </message>
    <message>
        <source>the --files-from list ends each name with NUL</source>
        <translation>la liste de --files-from finit chaque nom par NUL</translation>
    </message>
    <message>
        <source>files with a NUL byte are text too (as grep -a);
otherwise they are binary and left alone</source>
        <translation>les fichiers avec un octet NUL sont du texte aussi
(comme grep -a) ; sinon binaires et laissés tels quels</translation>
    </message>
    <message>
        <source>the code page of lines that are not UTF-8, in files
that name none (default windows-1252)</source>
        <translation>la page de codes des lignes non UTF-8, dans les
fichiers qui n&apos;en nomment pas (windows-1252 par défaut)</translation>
    </message>
    <message>
        <source>join the kept lines with CR LF, none after the last
(the window&apos;s rule)</source>
        <translation>joindre les lignes gardées par CR LF, rien après la
dernière (règle de la fenêtre)</translation>
    </message>
    <message>
        <source>each kept line keeps its own line end (the default):
a file of which nothing is removed stays as it is</source>
        <translation>chaque ligne gardée garde sa fin de ligne (défaut) :
un fichier dont rien n&apos;est retiré reste tel quel</translation>
    </message>
    <message>
        <source>write nothing: list the files that would change</source>
        <translation>ne rien écrire : lister les fichiers qui changeraient</translation>
    </message>
    <message>
        <source>list the runs kept, newest first, numbered</source>
        <translation>lister les passages gardés, numérotés, récents en tête</translation>
    </message>
    <message>
        <source>write nothing: print a unified diff of the changes</source>
        <translation>ne rien écrire : montrer un diff unifié des changements</translation>
    </message>
    <message>
        <source>one JSON object per file, then a summary object</source>
        <translation>un objet JSON par fichier, puis un objet de bilan</translation>
    </message>
    <message>
        <source>no progress, summary or listing: only errors</source>
        <translation>ni progression, ni bilan, ni liste : les erreurs seules</translation>
    </message>
    <message>
        <source>colour the diff and the outcomes: auto (on a
terminal, unless NO_COLOR is set), always or never</source>
        <translation>colorer le diff et les résultats : auto (sur un
terminal, sauf si NO_COLOR est défini), always ou never</translation>
    </message>
    <message>
        <source>files worked on at once (default: the processors)</source>
        <translation>fichiers traités à la fois (défaut : les processeurs)</translation>
    </message>
    <message>
        <source>print this help and exit</source>
        <translation>afficher cette aide et quitter</translation>
    </message>
    <message>
        <source>print the version and exit</source>
        <translation>afficher la version et quitter</translation>
    </message>
    <message>
        <source>--out %1 is not a folder</source>
        <translation>--out %1 n&apos;est pas un dossier</translation>
    </message>
    <message>
        <source>the folder %1 does not exist (--mkdir makes it)</source>
        <translation>le dossier %1 n&apos;existe pas (--mkdir le crée)</translation>
    </message>
    <message>
        <source>cannot make the folder %1: %2</source>
        <translation>impossible de créer le dossier %1 : %2</translation>
    </message>
    <message>
        <source>no folder for the undo store: set HOME or XDG_DATA_HOME (nothing was changed)</source>
        <translation>aucun dossier pour la réserve d&apos;annulation : définissez HOME ou XDG_DATA_HOME (rien n&apos;a été modifié)</translation>
    </message>
    <message>
        <source>the undo store cannot be used: %1: %2 (nothing was changed)</source>
        <translation>la réserve d&apos;annulation est inutilisable : %1 : %2 (rien n&apos;a été modifié)</translation>
    </message>
    <message>
        <source>cannot write the output: %1</source>
        <translation>impossible d&apos;écrire la sortie : %1</translation>
    </message>
    <message>
        <source>character</source>
        <translation>caractère</translation>
    </message>
    <message>
        <source>characters</source>
        <translation>caractères</translation>
    </message>
    <message>
        <source>line</source>
        <translation>ligne</translation>
    </message>
    <message>
        <source>lines</source>
        <translation>lignes</translation>
    </message>
    <message>
        <source>%1 removed</source>
        <translation>%1 en moins</translation>
    </message>
    <message>
        <source>Every line of %1 would be removed: no result is written.
</source>
        <translation>Toutes les lignes de %1 seraient retirées : aucun résultat n&apos;est écrit.
</translation>
    </message>
    <message>
        <source>The result of %1 is the same text; it would be written to %2.
</source>
        <translation>Le résultat de %1 est le même texte ; il serait écrit dans %2.
</translation>
    </message>
    <message>
        <source>standard input holds a NUL byte (binary): passed through unchanged</source>
        <translation>l&apos;entrée standard contient un octet NUL (binaire) : transmise telle quelle</translation>
    </message>
    <message>
        <source>empty result, not written</source>
        <translation>résultat vide, non écrit</translation>
    </message>
    <message>
        <source>binary, left alone</source>
        <translation>binaire, laissé tel quel</translation>
    </message>
    <message>
        <source>cannot be decoded, left alone</source>
        <translation>indécodable, laissé tel quel</translation>
    </message>
    <message>
        <source>unreadable</source>
        <translation>illisible</translation>
    </message>
    <message>
        <source>cannot be written</source>
        <translation>impossible à écrire</translation>
    </message>
    <message>
        <source>cannot be used</source>
        <translation>inutilisable</translation>
    </message>
    <message>
        <source>; a run reads the result of file %1</source>
        <translation> ; un passage lit le résultat du fichier %1</translation>
    </message>
    <message>
        <source>; replaces the result of file %1</source>
        <translation> ; remplace le résultat du fichier %1</translation>
    </message>
    <message>
        <source>%1/%2 files  %3 MB/s  </source>
        <translation>%1/%2 fichiers  %3 Mo/s  </translation>
    </message>
    <message>
        <source>Stopped by %1. </source>
        <translation>Arrêté par %1. </translation>
    </message>
    <message>
        <source>Dry run, nothing written. </source>
        <translation>Essai à blanc, rien n&apos;est écrit. </translation>
    </message>
    <message>
        <source>Done. </source>
        <translation>Terminé. </translation>
    </message>
    <message>
        <source>file</source>
        <translation>fichier</translation>
    </message>
    <message>
        <source>files</source>
        <translation>fichiers</translation>
    </message>
    <message>
        <source>would change</source>
        <translation>changeraient</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>modifiés</translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation>%1 en échec</translation>
    </message>
    <message>
        <source>, %1 binary (left alone)</source>
        <translation>, %1 binaires (laissés tels quels)</translation>
    </message>
    <message>
        <source>%1, %2 unchanged, %3 empty (%4)%5, %6</source>
        <translation>%1, %2 inchangés, %3 vides (%4)%5, %6</translation>
    </message>
    <message>
        <source>would not be written</source>
        <translation>ne seraient pas écrits</translation>
    </message>
    <message>
        <source>not written</source>
        <translation>non écrits</translation>
    </message>
    <message>
        <source>, %1 not processed</source>
        <translation>, %1 non traités</translation>
    </message>
    <message>
        <source>; %1 removed; %2 s.
</source>
        <translation> ; %1 en moins ; %2 s.
</translation>
    </message>
    <message>
        <source>stopped by %1; %2 not processed</source>
        <translation>arrêté par %1 ; %2 non traité(s)</translation>
    </message>
    <message>
        <source>file was</source>
        <translation>fichier</translation>
    </message>
    <message>
        <source>files were</source>
        <translation>fichiers</translation>
    </message>
    <message>
        <source>remove every line that contains TEXT</source>
        <translation>retirer chaque ligne qui contient TEXT</translation>
    </message>
    <message>
        <source>remove the lines without TEXT, and empty lines</source>
        <translation>retirer les lignes sans TEXT, et les vides</translation>
    </message>
    <message>
        <source>remove every occurrence of TEXT from each line</source>
        <translation>retirer chaque occurrence de TEXT des lignes</translation>
    </message>
    <message>
        <source>keep only the occurrences of TEXT; other lines go</source>
        <translation>ne garder que les occurrences de TEXT</translation>
    </message>
    <message>
        <source>remove line number N (counted from 1)</source>
        <translation>retirer la ligne numéro N (comptée dès 1)</translation>
    </message>
    <message>
        <source>remove empty lines (a line of blanks stays)</source>
        <translation>retirer les lignes vides (pas les blanches)</translation>
    </message>
    <message>
        <source>undo --list takes no --force</source>
        <translation>undo --list ne prend pas --force</translation>
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
        <translation>Usage : strelmark undo [PASSAGE] [-n | --dry-run] [--force] [-q | --quiet]
        strelmark undo -l | --list

Annule un passage, de la fenêtre ou de la ligne de commande : chaque fichier
qu&apos;il a remplacé est remis, chaque fichier qu&apos;il a créé est supprimé, et un
fichier modifié depuis est laissé tel quel. Sans PASSAGE, le dernier ; PASSAGE
est le numéro ou le nom d&apos;un passage tel que --list les montre (1 : le plus
récent).

  -l, --list      les passages gardés : quand, où, combien de fichiers, ce qui
                  a été fait, et combien de fichiers peuvent encore être remis
  -n, --dry-run   ne rien changer : dire ce que l&apos;annulation ferait à chaque
      --force     un passage dont l&apos;enregistrement ne se lit pas en entier :
                  rétablir ce que sa part lisible nomme
                  fichier
  -q, --quiet     n&apos;afficher que les erreurs
  -h, --help      afficher cette aide et quitter
  -V, --version   afficher la version et quitter
</translation>
    </message>
    <message>
        <source>undo a run whose record does not read whole: put
back what the part that reads names</source>
        <translation>annuler un passage dont l&apos;enregistrement ne se lit
pas en entier : rétablir ce que sa part lisible nomme</translation>
    </message>
    <message>
        <source>, %1 skipped by the folder search</source>
        <translation>, %1 écartés par la recherche dans les dossiers</translation>
    </message>
    <message>
        <source>Skipped: the path is longer than the system allows</source>
        <translation>Écarté : le chemin est plus long que le système ne le permet</translation>
    </message>
    <message>
        <source>Skipped: the name is not valid UTF-8</source>
        <translation>Écarté : le nom n&apos;est pas de l&apos;UTF-8 valide</translation>
    </message>
    <message>
        <source>Skipped: a symbolic link to a file outside the searched folder</source>
        <translation>Écarté : un lien symbolique vers un fichier hors du dossier parcouru</translation>
    </message>
    <message>
        <source>waiting for another run to finish</source>
        <translation>attente de la fin d&apos;un autre passage</translation>
    </message>
    <message>
        <source>replace needs TEXT and WITH</source>
        <translation>replace demande TEXT et WITH</translation>
    </message>
    <message>
        <source>How TEXT is matched (by default: literally, letter case ignored):</source>
        <translation>Comment TEXT est cherché (par défaut : tel quel, casse ignorée) :</translation>
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
        <translation>Usage : strelmark remove OPÉRATION [TEXT|N] (-o DIR | -i) [options] CHEMIN...
        strelmark remove OPÉRATION [TEXT|N] [options] &lt; ENTRÉE &gt; SORTIE
        strelmark replace TEXT WITH (-o DIR | -i) [options] CHEMIN...
                                     remplacer les occurrences de TEXT par WITH
        strelmark undo [PASSAGE | --list] [--dry-run] [--force] [-q]
                                     annuler un passage, le dernier par défaut
        strelmark --help | --version
        strelmark [FICHIER|DOSSIER]... ouvrir la fenêtre, avec eux dans sa liste

Retire des lignes ou des caractères de nombreux fichiers texte à la fois, comme
la fenêtre.

Opérations :
</translation>
    </message>
    <message>
        <source>TEXT is taken whole, never trimmed, and compared without regard to letter
case; it must not be empty. N is any number, rounded half to even. replace
takes every option of remove; WITH is literal unless --regex is given.
</source>
        <translation>TEXT est pris en entier, jamais rogné, et comparé sans tenir compte de la
casse ; il ne doit pas être vide. N est un nombre quelconque, arrondi au pair
le plus proche.
replace prend les options de remove ; WITH est littéral sauf avec --regex.
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
Un CHEMIN qui est un dossier est parcouru niveau par niveau ; tout autre CHEMIN
est pris tel quel. Sans CHEMIN, -o ni -i, l&apos;entrée standard est filtrée vers la
sortie standard, comme le fait sed (de même pour le CHEMIN -), et rien n&apos;est
gardé pour l&apos;annulation. Mettez -- devant les CHEMINS qui commencent par « - ».
Un résultat sans aucune ligne n&apos;est pas écrit ; un résultat égal au fichier
déjà présent n&apos;est pas réécrit. Chaque passage qui écrit garde ce qu&apos;il
remplace : `strelmark undo` l&apos;annule.

Code de sortie : 0 tout est fait, 1 des fichiers ont échoué, 2 erreur d&apos;usage,
130 ou 143 arrêté par SIGINT ou SIGTERM (ce qui était fini est gardé).

Exemples :
  strelmark remove lines-containing &apos;meta http&apos; -o ~/site-new --mkdir ~/site
  strelmark remove blank-lines -e txt,md -E drafts -i -n notes/
  find site -print0 | strelmark remove text &apos;&lt;br&gt;&apos; -i --files-from - -0
  curl -s URL | strelmark remove lines-containing &apos;&lt;script&apos; &gt; page.html
  strelmark replace --regex &apos;(\w+)@old\.example&apos; &apos;$1@new.example&apos; -i site/
  strelmark remove lines-containing -w --match-case cat -i notes.txt

Voir strelmark(1) pour les détails et les champs JSON.
</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos; (remove, replace, undo, --help, --version)</source>
        <translation>commande inconnue &apos;%1&apos; (remove, replace, undo, --help, --version)</translation>
    </message>
    <message>
        <source>letter case counts: &quot;a&quot; is no &quot;A&quot;</source>
        <translation>la casse compte : « a » n&apos;est pas « A »</translation>
    </message>
    <message>
        <source>only whole words: a match with no letter, digit or
underscore just before or after it</source>
        <translation>mots entiers seulement : aucune lettre, aucun chiffre
ni soulignement juste avant ou après</translation>
    </message>
    <message>
        <source>TEXT is a regular expression (Perl-compatible,
PCRE2); with replace, WITH may name groups: $1,
${name}, and $$ for a dollar</source>
        <translation>TEXT est une expression régulière (compatible Perl,
PCRE2) ; avec replace, WITH peut nommer des groupes :
$1, ${name}, et $$ pour un dollar</translation>
    </message>
</context>
<context>
    <name>CodePages</name>
    <message>
        <source>Central European</source>
        <translation>Europe centrale</translation>
    </message>
    <message>
        <source>Cyrillic</source>
        <translation>Cyrillique</translation>
    </message>
    <message>
        <source>Western European</source>
        <translation>Europe occidentale</translation>
    </message>
    <message>
        <source>Greek</source>
        <translation>Grec</translation>
    </message>
    <message>
        <source>Turkish</source>
        <translation>Turc</translation>
    </message>
    <message>
        <source>Hebrew</source>
        <translation>Hébreu</translation>
    </message>
    <message>
        <source>Arabic</source>
        <translation>Arabe</translation>
    </message>
    <message>
        <source>Baltic</source>
        <translation>Balte</translation>
    </message>
    <message>
        <source>Vietnamese</source>
        <translation>Vietnamien</translation>
    </message>
    <message>
        <source>South European</source>
        <translation>Europe du Sud</translation>
    </message>
    <message>
        <source>North European</source>
        <translation>Europe du Nord</translation>
    </message>
    <message>
        <source>Nordic</source>
        <translation>Nordique</translation>
    </message>
    <message>
        <source>Thai</source>
        <translation>Thaï</translation>
    </message>
    <message>
        <source>Celtic</source>
        <translation>Celtique</translation>
    </message>
    <message>
        <source>Western European, with the euro</source>
        <translation>Europe occidentale, avec l&apos;euro</translation>
    </message>
    <message>
        <source>South-Eastern European</source>
        <translation>Europe du Sud-Est</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Russe</translation>
    </message>
    <message>
        <source>Ukrainian</source>
        <translation>Ukrainien</translation>
    </message>
</context>
<context>
    <name>Encoding</name>
    <message>
        <source>Binary</source>
        <translation>Binaire</translation>
    </message>
    <message>
        <source>Cannot be decoded as </source>
        <translation>Indécodable en </translation>
    </message>
</context>
<context>
    <name>ErrorReport</name>
    <message>
        <source>at line </source>
        <translation>à la ligne </translation>
    </message>
    <message>
        <source>Please email screenshot of this message to </source>
        <translation>Merci d&apos;envoyer une capture de ce message à </translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Erreur de l&apos;application</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Mémoire épuisée</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Erreur inconnue</translation>
    </message>
    <message>
        <source>Type mismatch</source>
        <translation>Type incompatible</translation>
    </message>
    <message>
        <source>Overflow</source>
        <translation>Dépassement de capacité</translation>
    </message>
    <message>
        <source>Invalid procedure call or argument</source>
        <translation>Appel de procédure ou argument incorrect</translation>
    </message>
    <message>
        <source>Invalid property value</source>
        <translation>Valeur de propriété incorrecte</translation>
    </message>
</context>
<context>
    <name>FileError</name>
    <message>
        <source>Is a named pipe, not a regular file</source>
        <translation>Est un tube nommé, pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>Is a socket, not a regular file</source>
        <translation>Est un socket, pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>Is a device, not a regular file</source>
        <translation>Est un périphérique, pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>Pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>Not writing through a dangling symbolic link</source>
        <translation>Pas d&apos;écriture à travers un lien symbolique vers rien</translation>
    </message>
</context>
<context>
    <name>FileListModel</name>
    <message>
        <source>HTML File(s)</source>
        <translation>Fichier(s) HTML</translation>
    </message>
</context>
<context>
    <name>FileListView</name>
    <message>
        <source>Drag and drop files here. Double-click item to remove it. Move | line to right and out of window to reveal full names.</source>
        <translation>Glissez les fichiers ici. Double-cliquez sur un élément pour le retirer. Tirez la ligne | vers la droite, hors de la fenêtre, pour voir les noms complets.</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>Please select folder:</source>
        <translation>Choisissez un dossier :</translation>
    </message>
    <message>
        <source>Add File(s) - Hold Ctrl to select multiple files</source>
        <translation>Ajouter des fichiers – Ctrl enfoncé pour en choisir plusieurs</translation>
    </message>
    <message>
        <source>HTML Files (*.htm*)</source>
        <translation>Fichiers HTML (*.htm*)</translation>
    </message>
    <message>
        <source>You&apos;ve selected too many files to add.<byte value="xd"/><byte value="xd"/>Please try adding via the &quot;Add All&quot; button.</source>
        <translation>Vous avez choisi trop de fichiers à ajouter.<byte value="xd"/><byte value="xd"/>Essayez plutôt le bouton « Tout ajouter ».</translation>
    </message>
    <message>
        <source>Enter file extension to load:<byte value="xd"/><byte value="xd"/>(* for all files, txt for all txt files, doc for all doc files, etc.)</source>
        <translation>Extension des fichiers à charger :<byte value="xd"/><byte value="xd"/>(* pour tous les fichiers, txt pour tous les fichiers txt, doc pour tous les fichiers doc, etc.)</translation>
    </message>
    <message>
        <source>Add HTML Files</source>
        <translation>Ajouter des fichiers HTML</translation>
    </message>
    <message>
        <source>Add All HTML Files In Folder</source>
        <translation>Tous les HTML du dossier</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Vider la liste</translation>
    </message>
    <message>
        <source>Load Sample/Example Files</source>
        <translation>Charger les exemples</translation>
    </message>
    <message>
        <source>Condition Options</source>
        <translation>Condition</translation>
    </message>
    <message>
        <source>If file contains</source>
        <translation>Si contient</translation>
    </message>
    <message>
        <source>Then</source>
        <translation>Alors</translation>
    </message>
    <message>
        <source>Save Option</source>
        <translation>Enregistrement</translation>
    </message>
    <message>
        <source>Save results to this folder:</source>
        <translation>Enregistrer dans ce dossier :</translation>
    </message>
    <message>
        <source>Save results in folder of original file</source>
        <translation>Dans le dossier de l&apos;original</translation>
    </message>
    <message>
        <source>Start Removing</source>
        <translation>Lancer le retrait</translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>Progression</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Preview...</source>
        <translation>Aperçu...</translation>
    </message>
    <message>
        <source>Preview 1 file...</source>
        <translation>Aperçu de 1 fichier...</translation>
    </message>
    <message>
        <source>Preview %1 files...</source>
        <translation>Aperçu de %1 fichiers...</translation>
    </message>
    <message>
        <source>Undo Runs...</source>
        <translation>Annuler des passages...</translation>
    </message>
    <message>
        <source>Keep each file&apos;s line ends</source>
        <translation>Garder les fins de ligne de chaque fichier</translation>
    </message>
    <message>
        <source>Other files are in</source>
        <translation>Les autres fichiers sont en</translation>
    </message>
    <message>
        <source>HTML File(s)</source>
        <translation>Fichier(s) HTML</translation>
    </message>
    <message>
        <source>Output folder</source>
        <translation>Dossier de sortie</translation>
    </message>
    <message>
        <source>Choose output folder</source>
        <translation>Choisir le dossier de sortie</translation>
    </message>
    <message>
        <source>&quot;Keep each file&apos;s line ends&quot; has changed since the preview. Preview again to see what the run would do.</source>
        <translation>« Garder les fins de ligne de chaque fichier » a changé depuis l&apos;aperçu. Refaites l&apos;aperçu pour voir ce que ferait le passage.</translation>
    </message>
    <message>
        <source>To take this run back: &quot;Undo Last Run&quot; in the list&apos;s menu (right-click on the list), Ctrl+Z, or the command &quot;strelmark undo&quot;.</source>
        <translation>Pour annuler ce passage : « Annuler le dernier passage » dans le menu de la liste (clic droit sur la liste), Ctrl+Z, ou la commande « strelmark undo ».</translation>
    </message>
    <message>
        <source>in place, %1</source>
        <translation>sur place, %1</translation>
    </message>
    <message>
        <source>in progress</source>
        <translation>en cours</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source><byte value="xd"/><byte value="xd"/>The details list the files left as they are.</source>
        <translation><byte value="xd"/><byte value="xd"/>Les détails listent les fichiers laissés tels quels.</translation>
    </message>
    <message>
        <source>byte</source>
        <translation>octet</translation>
    </message>
    <message>
        <source>bytes</source>
        <translation>octets</translation>
    </message>
    <message>
        <source>Undo Last Run</source>
        <translation>Annuler le dernier passage</translation>
    </message>
    <message>
        <source>Undo Last Run (%1 %2, %3)</source>
        <translation>Annuler le dernier passage (%1 %2, %3)</translation>
    </message>
    <message>
        <source>file</source>
        <translation>fichier</translation>
    </message>
    <message>
        <source>files</source>
        <translation>fichiers</translation>
    </message>
    <message>
        <source>1 file in the list.</source>
        <translation>1 fichier dans la liste.</translation>
    </message>
    <message>
        <source>%1 files in the list.</source>
        <translation>%1 fichiers dans la liste.</translation>
    </message>
    <message>
        <source>(no home folder)</source>
        <translation>(pas de dossier personnel)</translation>
    </message>
    <message>
        <source>This run cannot be taken back: the undo store cannot be used (</source>
        <translation>Ce passage ne peut pas être annulé : la réserve d&apos;annulation est inutilisable (</translation>
    </message>
    <message>
        <source>Stop the run?</source>
        <translation>Arrêter le passage ?</translation>
    </message>
    <message>
        <source>There is no run to undo.</source>
        <translation>Il n&apos;y a aucun passage à annuler.</translation>
    </message>
    <message>
        <source>Undo the last run?<byte value="xd"/><byte value="xd"/>%1 it replaced or created (started %2) go back to what they were before it: each file it replaced is put back, each file it created is removed. A file changed since the run is left alone.</source>
        <translation>Annuler le dernier passage ?<byte value="xd"/><byte value="xd"/>%1 qu&apos;il a remplacés ou créés (lancé le %2) redeviennent ce qu&apos;ils étaient : chaque fichier remplacé est remis, chaque fichier créé est supprimé. Un fichier modifié depuis est laissé tel quel.</translation>
    </message>
    <message>
        <source>The file</source>
        <translation>Le fichier</translation>
    </message>
    <message>
        <source>The %1 files</source>
        <translation>Les %1 fichiers</translation>
    </message>
    <message>
        <source>The last run is undone: </source>
        <translation>Le dernier passage est annulé : </translation>
    </message>
    <message>
        <source>The runs kept, newest first. The run chosen goes back as &quot;Undo Last Run&quot; takes back the last: each file it replaced is put back, each file it created is removed, and a file edited since is left alone.</source>
        <translation>Les passages gardés, les plus récents en tête. Le passage choisi est annulé comme « Annuler le dernier passage » annule le dernier : chaque fichier remplacé est remis, chaque fichier créé est supprimé, et un fichier retouché depuis est laissé tel quel.</translation>
    </message>
    <message>
        <source>Started</source>
        <translation>Lancé</translation>
    </message>
    <message>
        <source>Where</source>
        <translation>Où</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Fichiers</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>Opération</translation>
    </message>
    <message>
        <source>Can restore</source>
        <translation>Restaurables</translation>
    </message>
    <message>
        <source>Undo Run</source>
        <translation>Annuler le passage</translation>
    </message>
    <message>
        <source>Undo Runs</source>
        <translation>Annuler des passages</translation>
    </message>
    <message>
        <source>Undo the run started %1?<byte value="xd"/><byte value="xd"/>%2<byte value="xd"/>%3: %4<byte value="xd"/><byte value="xd"/>A file changed since the run is left alone.</source>
        <translation>Annuler le passage lancé le %1 ?<byte value="xd"/><byte value="xd"/>%2<byte value="xd"/>%3 : %4<byte value="xd"/><byte value="xd"/>Un fichier modifié depuis est laissé tel quel.</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 fichier</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 fichiers</translation>
    </message>
    <message>
        <source>The run is undone: </source>
        <translation>Le passage est annulé : </translation>
    </message>
    <message>
        <source>Waiting for another run to finish</source>
        <translation>Attente d&apos;un autre passage</translation>
    </message>
    <message>
        <source>Match case</source>
        <translation>Respecter la casse</translation>
    </message>
    <message>
        <source>Whole words</source>
        <translation>Mots entiers</translation>
    </message>
    <message>
        <source>Regular expression</source>
        <translation>Expression régulière</translation>
    </message>
    <message>
        <source>How the text is matched has changed since the preview. Preview again to see what the run would do.</source>
        <translation>La façon de chercher le texte a changé depuis l&apos;aperçu. Refaites l&apos;aperçu pour voir ce que ferait le passage.</translation>
    </message>
</context>
<context>
    <name>Operations</name>
    <message>
        <source>Remove all lines containing those characters</source>
        <translation>Retirer les lignes contenant ces caractères</translation>
    </message>
    <message>
        <source>Remove all lines not containing those characters</source>
        <translation>Retirer les lignes sans ces caractères</translation>
    </message>
    <message>
        <source>Remove all characters except those characters</source>
        <translation>Retirer tous les caractères sauf ceux-ci</translation>
    </message>
    <message>
        <source>Remove line number n in all files</source>
        <translation>Retirer la ligne numéro n de tous les fichiers</translation>
    </message>
    <message>
        <source>Remove blank lines in all files</source>
        <translation>Retirer les lignes vides de tous les fichiers</translation>
    </message>
    <message>
        <source>Remove those characters</source>
        <translation>Retirer ces caractères</translation>
    </message>
</context>
<context>
    <name>PointerPicture</name>
    <message>
        <source>Invalid picture</source>
        <translation>Image incorrecte</translation>
    </message>
</context>
<context>
    <name>PreviewDialog</name>
    <message>
        <source>Reading %1 ...</source>
        <translation>Lecture de %1 ...</translation>
    </message>
    <message>
        <source>%1: line ends only; no line would change, but the result has CR LF between its lines and none after the last.</source>
        <translation>%1 : fins de ligne seulement ; aucune ligne ne changerait, mais le résultat a CR LF entre ses lignes et rien après la dernière.</translation>
    </message>
    <message>
        <source>%1: no line would change.</source>
        <translation>%1 : aucune ligne ne changerait.</translation>
    </message>
    <message>
        <source>%1: %2 removed; first change at line %3.</source>
        <translation>%1 : %2 en moins ; premier changement à la ligne %3.</translation>
    </message>
    <message>
        <source> Showing lines %1 to %2; the file goes on.</source>
        <translation> Lignes %1 à %2 affichées ; le fichier continue.</translation>
    </message>
    <message>
        <source> The run would read row %1&apos;s result here; this is the file as it is now.</source>
        <translation> Le passage lirait ici le résultat de la rangée %1 ; voici le fichier tel qu&apos;il est maintenant.</translation>
    </message>
    <message>
        <source>(empty line)</source>
        <translation>(ligne vide)</translation>
    </message>
    <message>
        <source> … (%1 more bytes)</source>
        <translation> … (%1 octets de plus)</translation>
    </message>
    <message>
        <source>Select a file to see its lines, with what would be removed marked.</source>
        <translation>Choisissez un fichier pour voir ses lignes, ce qui serait retiré étant marqué.</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Aperçu</translation>
    </message>
    <message>
        <source>Preview progress</source>
        <translation>Progression de l&apos;aperçu</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Fichiers</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Would remove</source>
        <translation>Retirerait</translation>
    </message>
    <message>
        <source>What would happen</source>
        <translation>Ce qui se passerait</translation>
    </message>
    <message>
        <source>Lines of the selected file</source>
        <translation>Lignes du fichier choisi</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
    <message>
        <source>Runs the ticked rows, in this order, as &quot;Start Removing&quot; would</source>
        <translation>Traite les rangées cochées, dans cet ordre, comme le ferait « Lancer le retrait »</translation>
    </message>
    <message>
        <source>written</source>
        <translation>écrit</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>inchangé</translation>
    </message>
    <message>
        <source>empty — not written</source>
        <translation>vide — non écrit</translation>
    </message>
    <message>
        <source>binary — left alone</source>
        <translation>binaire — laissé tel quel</translation>
    </message>
    <message>
        <source>left alone: </source>
        <translation>laissé tel quel : </translation>
    </message>
    <message>
        <source>cannot be read: </source>
        <translation>illisible : </translation>
    </message>
    <message>
        <source>cannot be written: </source>
        <translation>impossible à écrire : </translation>
    </message>
    <message>
        <source>would overwrite the result of an earlier row (row %1)</source>
        <translation>écraserait le résultat d&apos;une rangée antérieure (rangée %1)</translation>
    </message>
    <message>
        <source>reads the result of an earlier row (row %1), not known yet</source>
        <translation>lit le résultat d&apos;une rangée antérieure (rangée %1), encore inconnu</translation>
    </message>
    <message>
        <source>Previewing: %1 (%2 of %3)</source>
        <translation>Aperçu : %1 (%2 sur %3)</translation>
    </message>
    <message>
        <source>, line %1</source>
        <translation>, ligne %1</translation>
    </message>
    <message>
        <source> with &quot;%1&quot;</source>
        <translation> avec « %1 »</translation>
    </message>
    <message>
        <source>What &quot;Start Removing&quot; would do now: %1, %2. Nothing is written.</source>
        <translation>« Lancer le retrait » ferait : %1, %2. Rien n&apos;est écrit.</translation>
    </message>
    <message>
        <source>results into </source>
        <translation>résultats dans </translation>
    </message>
    <message>
        <source>each result in place of its file</source>
        <translation>chaque résultat à la place de son fichier</translation>
    </message>
    <message>
        <source>
Result: </source>
        <translation>
Résultat : </translation>
    </message>
    <message>
        <source>line ends only</source>
        <translation>fins de ligne seules</translation>
    </message>
    <message>
        <source>character</source>
        <translation>caractère</translation>
    </message>
    <message>
        <source>characters</source>
        <translation>caractères</translation>
    </message>
    <message>
        <source>line</source>
        <translation>ligne</translation>
    </message>
    <message>
        <source>lines</source>
        <translation>lignes</translation>
    </message>
    <message>
        <source>cannot be decoded</source>
        <translation>indécodables</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>illisibles</translation>
    </message>
    <message>
        <source>cannot be written</source>
        <translation>impossible à écrire</translation>
    </message>
    <message>
        <source>would overwrite the result of an earlier row</source>
        <translation>écraseraient le résultat d&apos;une rangée antérieure</translation>
    </message>
    <message>
        <source>read the result of an earlier row</source>
        <translation>lisent le résultat d&apos;une rangée antérieure</translation>
    </message>
    <message>
        <source>Stopped after %1 of %2 files</source>
        <translation>Arrêté après %1 fichiers sur %2</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 fichier</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 fichiers</translation>
    </message>
    <message>
        <source>%1 unticked: Apply leaves them out.</source>
        <translation>%1 décoché(s) : Appliquer les écarte.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>« %1 »</translation>
    </message>
    <message>
        <source>pattern too complex</source>
        <translation>motif trop complexe</translation>
    </message>
</context>
<context>
    <name>Run</name>
    <message>
        <source>Out of memory</source>
        <translation>Mémoire épuisée</translation>
    </message>
</context>
<context>
    <name>RunDriver</name>
    <message>
        <source>Processing: </source>
        <translation>Traitement : </translation>
    </message>
    <message>
        <source>No files added.</source>
        <translation>Aucun fichier ajouté.</translation>
    </message>
    <message>
        <source>Please choose where to save the results.</source>
        <translation>Choisissez où enregistrer les résultats.</translation>
    </message>
    <message>
        <source>Folder does not exist. Please select another folder.</source>
        <translation>Le dossier n&apos;existe pas. Choisissez un autre dossier.</translation>
    </message>
    <message>
        <source>Please provide text for: </source>
        <translation>Indiquez le texte pour : </translation>
    </message>
    <message>
        <source>Enter row number n: </source>
        <translation>Numéro de ligne n : </translation>
    </message>
    <message>
        <source>Input Row Number n</source>
        <translation>Numéro de ligne n</translation>
    </message>
    <message>
        <source>Must be numeric value.</source>
        <translation>Doit être une valeur numérique.</translation>
    </message>
    <message>
        <source>Progress Bar</source>
        <translation>Progression</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Terminé.</translation>
    </message>
</context>
<context>
    <name>RunSummary</name>
    <message>
        <source>Stopped after %1 of %2 files.</source>
        <translation>Arrêté après %1 fichiers sur %2.</translation>
    </message>
    <message>
        <source>1 file.</source>
        <translation>1 fichier.</translation>
    </message>
    <message>
        <source>%1 files.</source>
        <translation>%1 fichiers.</translation>
    </message>
    <message>
        <source>Written: %1</source>
        <translation>Écrits : %1</translation>
    </message>
    <message>
        <source>Unchanged (not rewritten): %1</source>
        <translation>Inchangés (non réécrits) : %1</translation>
    </message>
    <message>
        <source>Empty results (not written): %1</source>
        <translation>Résultats vides (non écrits) : %1</translation>
    </message>
    <message>
        <source>Binary files (left alone): %1</source>
        <translation>Fichiers binaires (laissés tels quels) : %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>En échec : %1</translation>
    </message>
    <message>
        <source>Output names written more than once: %1</source>
        <translation>Noms de sortie écrits plus d&apos;une fois : %1</translation>
    </message>
    <message>
        <source>%1 (%2 times)</source>
        <translation>%1 (%2 fois)</translation>
    </message>
    <message>
        <source>Skipped by the folder search: %1</source>
        <translation>Écartés par la recherche dans les dossiers : %1</translation>
    </message>
    <message>
        <source>Matched with: %1</source>
        <translation>Recherche : %1</translation>
    </message>
    <message>
        <source>Pattern too complex (left alone): %1</source>
        <translation>Motif trop complexe (laissés tels quels) : %1</translation>
    </message>
</context>
<context>
    <name>Samples</name>
    <message>
        <source>Would you like this software to open the folder where these sample files are stored (so that you can view them before working with them)?</source>
        <translation>Voulez-vous que le programme ouvre le dossier où sont rangés ces fichiers d&apos;exemple (pour les voir avant de travailler dessus) ?</translation>
    </message>
</context>
<context>
    <name>StartUp</name>
    <message>
        <source>The web browser could not be started.</source>
        <translation>Le navigateur web n&apos;a pas pu être lancé.</translation>
    </message>
</context>
<context>
    <name>Undo</name>
    <message>
        <source>There is no run to undo.</source>
        <translation>Il n&apos;y a aucun passage à annuler.</translation>
    </message>
    <message>
        <source>That run is still in progress; undo it when it has ended.</source>
        <translation>Ce passage est encore en cours ; annulez-le quand il sera fini.</translation>
    </message>
    <message>
        <source>The last run is still in progress; undo it when it has ended.</source>
        <translation>Le dernier passage est encore en cours ; annulez-le quand il sera fini.</translation>
    </message>
    <message>
        <source>There is no such run to undo (it was undone, or dropped as too old).</source>
        <translation>Ce passage n&apos;existe pas (il a été annulé, ou écarté car trop ancien).</translation>
    </message>
    <message>
        <source>The undo store cannot be used: </source>
        <translation>La réserve d&apos;annulation est inutilisable : </translation>
    </message>
    <message>
        <source>%1 to restore, %2 to remove, %3 to leave alone; nothing was changed.</source>
        <translation>%1 à restaurer, %2 à supprimer, %3 à laisser ; rien n&apos;a été modifié.</translation>
    </message>
    <message>
        <source>Would restore: %1</source>
        <translation>Restaurerait : %1</translation>
    </message>
    <message>
        <source>Would remove: %1</source>
        <translation>Supprimerait : %1</translation>
    </message>
    <message>
        <source>Would leave alone, no longer there: %1</source>
        <translation>Laisserait, n&apos;existe plus : %1</translation>
    </message>
    <message>
        <source>Would leave alone, changed since the run: %1</source>
        <translation>Laisserait, modifié depuis le passage : %1</translation>
    </message>
    <message>
        <source>Would leave alone, %1: %2</source>
        <translation>Laisserait, %1 : %2</translation>
    </message>
    <message>
        <source>%1 restored, %2 removed, %3 left alone, %4 failed.</source>
        <translation>%1 restauré(s), %2 supprimé(s), %3 laissé(s), %4 en échec.</translation>
    </message>
    <message>
        <source>Restored: </source>
        <translation>Restauré : </translation>
    </message>
    <message>
        <source>Restored without </source>
        <translation>Restauré sans </translation>
    </message>
    <message>
        <source>Removed: </source>
        <translation>Supprimé : </translation>
    </message>
    <message>
        <source>Left alone, no longer there: </source>
        <translation>Laissé, n&apos;existe plus : </translation>
    </message>
    <message>
        <source>Left alone, changed since the run: </source>
        <translation>Laissé, modifié depuis le passage : </translation>
    </message>
    <message>
        <source>Not restored, </source>
        <translation>Non restauré, </translation>
    </message>
    <message>
        <source>The record of the run %1 does not read whole: %2. %3 of its files read. Nothing was changed, and the run and the originals it keeps are kept.</source>
        <translation>L&apos;enregistrement du passage %1 ne se lit pas en entier : %2. %3 de ses fichiers lus. Rien n&apos;a été modifié ; le passage et les originaux qu&apos;il garde sont conservés.</translation>
    </message>
    <message>
        <source>Not restored, no longer there (kept for the next undo): </source>
        <translation>Non restauré, plus là (gardé pour la prochaine annulation) : </translation>
    </message>
    <message>
        <source>Stopped: %1 files not reached, kept for the next undo.</source>
        <translation>Arrêté : %1 fichiers non atteints, gardés pour la prochaine annulation.</translation>
    </message>
</context>
</TS>
