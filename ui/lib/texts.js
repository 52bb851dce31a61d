.pragma library

// The long texts of the window's dialogs, and the player's own messages
// in both languages, as the window shows them (rich text: line breaks and
// runs of blanks show as one blank).

var ABOUT_TEAM = "Réalisé par l'équipe Vorlumen / Made by the Vorlumen team.<br>";
var ABOUT_BUILT_WITH = "<i>Avec Qt, Qt WebEngine et Ruffle / Built with Qt, Qt WebEngine and Ruffle.</i><br>";

// The renderer ended twice in a row.
var GAME_STOPPED = "Le jeu s'est arrêté de façon inattendue.<br><br>The game stopped unexpectedly.";

// Ruffle cannot play the movie; the reason follows.
var GAME_CANNOT_START = "Le jeu n'a pas pu démarrer.<br><br>The game could not start.";

// An internet game whose movie did not arrive; the reason follows.
var INTERNET_GAME_FAILED = "Le jeu n'a pas pu être lu depuis internet.<br><br>"
    + "The game could not be read from the internet.";

// The saves folder refuses a write (read-only, full); the game plays on.
var SAVES_NOT_WRITTEN = "Sauvegarde impossible !<br>Saves cannot be written!";

// Gamepads coming and going (%1: the pad's name), and a pad or a mapping
// file that cannot be used (the details go to standard error).
var PAD_CONNECTED = "Manette connectée / Gamepad connected<br>%1";
var PAD_DISCONNECTED = "Manette débranchée / Gamepad removed<br>%1";
var PAD_PROBLEM = "Problème de manette, voir le journal.<br>Gamepad problem, see the log.";

var HELP_FRENCH = "<u>Lignes de commandes disponibles</u> :<br><br>\n"
    + "                        > <b>-source:</b> - Spécifiez le chemin du fichier SWF (<i>exemple : -source:\"C:/Users/Tamsrel/Downloads/phoenotopia.swf\"</i>).<br>\n"
    + "                        > <b>-swfwidth:</b> - Spécifiez la largeur naturelle du fichier SWF (<i>exemple : -swfwidth:900</i>).<br>\n"
    + "                        > <b>-swfheight:</b> - Spécifiez la hauteur naturelle du fichier SWF (<i>exemple : -swfheight:600</i>).<br>\n"
    + "                        > <b>-savedataflash:</b> - Spécifiez le chemin pour enregistrer les données du jeu Flash : les sauvegardes, fichiers .sol dans <b>SharedObjects/</b>, et le cache (<i>exemple : -savedataflash:\"D:/Playdeck/Flash\"</i>).<br>\n"
    + "                        > <b>-profilantimicro:</b> - Spécifiez le profil que vous souhaitez utiliser dans AntiMicro. Le profil doit être présent dans <b>/Vorlumen/antimicro/profiles</b> (<i>exemple : -profilantimicro:vorlumen.gamecontroller.amgp</i>).<br>\n"
    + "                        > <b>-controleurantimicro:</b> - Appliquez le fichier de configuration AntiMicro à un contrôleur spécifique, indiquez le GUID de votre contrôleur.<br>\n"
    + "                        > <b>-screentype:</b> - Pour simuler un écran CRT, spécifiez <b>crt</b> (<i>exemple : -screentype:crt</i>). Pour simuler le mode Scanlines, spécifiez <b>scanlines</b> (<i>exemple : -screentype:scanlines</i>).<br>\n"
    + "                        > <b>-fullscreen</b> - Pour lancer le jeu Flash en plein écran.<br>\n"
    + "                        > <b>-nodatetime</b> - Supprimer la date et heure.<br>\n"
    + "                        > <b>-picturesfolder:</b> - Spécifiez le chemin pour enregistrer les <b>captures</b>, par défaut, répertoire « <i>Images</i> » (exemple : <i>-picturesfolder:\"D:/Playdeck/Screenshots\"</i>).<br>\n"
    + "                        > <b>vorlumen-importsaves</b> ANCIEN JEUX [DOSSIER] - Reprend les sauvegardes du plug-in Flash (le dossier de <b>#SharedObjects</b>) pour les jeux du dossier JEUX, dans les sauvegardes du lecteur (DOSSIER : celui de <b>-savedataflash:</b>).\n"
    + "                    <br>";

var HELP_ENGLISH = "<u>Command line options available</u> :<br><br>\n"
    + "                        > <b>-source:</b> - Specify the path of the SWF file (<i>example : -source:\"C:/Users/Tamsrel/Downloads/phoenotopia.swf\"</i>).<br>\n"
    + "                        > <b>-swfwidth:</b> - Specify the natural width of the SWF file (<i>example : -swfwidth:900</i>).<br>\n"
    + "                        > <b>-swfheight:</b> - Specify the natural height of the SWF file (<i>example : -swfheight:600</i>).<br>\n"
    + "                        > <b>-savedataflash:</b> - Specify the path to save game data of the Flash file: the saves, .sol files in <b>SharedObjects/</b>, and the cache (<i>example : -savedataflash:\"D:/Playdeck/Flash\"</i>).<br>\n"
    + "                        > <b>-profilantimicro:</b> - Specify the profile you want to use in AntiMicro. The profile must be present in <b>/Vorlumen/antimicro/profiles</b> (<i>example : -profilantimicro:vorlumen.gamecontroller.amgp</i>).<br>\n"
    + "                        > <b>-controleurantimicro:</b> - Apply configuration file AntiMicro to a specific controller, indicate GUID of your controller.<br>\n"
    + "                        > <b>-screentype:</b> - To simulate a CRT screen, specify <b>crt</b> (<i>example : -screentype:crt</i>). To simulate Scanlines, specify <b>scanlines</b> (<i>example : -screentype:scanlines</i>).<br>\n"
    + "                        > <b>-fullscreen</b> - To lauch Flash game in fullscreen.<br>\n"
    + "                        > <b>-nodatetime</b> - Remove date and time.<br>\n"
    + "                        > <b>-picturesfolder:</b> - Specify the path to save <b>screenshots</b>, by default is « <i>Pictures</i> » folder (example : <i>-picturesfolder:\"D:/Playdeck/Screenshots\"</i>).<br>\n"
    + "                        > <b>vorlumen-importsaves</b> OLD GAMES [FOLDER] - Bring the Flash plug-in's saves (the folder of <b>#SharedObjects</b>) over for the games of the GAMES folder, into the player's saves (FOLDER: that of <b>-savedataflash:</b>).\n"
    + "                    <br>";
