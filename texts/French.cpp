// The reference catalogue: the texts as French users have always read them.
// Rows marked kKept hold wording that is odd on purpose (see texts::Row).
#include "texts/Catalogues.h"

namespace texts {

namespace {

constexpr bool kKept = true;

constexpr Row kFrench[] = {
    {TextId::TitleProgram, "-=Parcelwise=-"},
    {TextId::TitleProgramVersion, "Parcelwise 1.1"},
    {TextId::TitleError, "Erreur"},
    {TextId::TitleJoinStopped, "Recollage interrompu"},
    {TextId::TitleOutOfMemory, "Mémoire insuffisante"},
    {TextId::TitleFileTooSmall, "Fichier trop petit..."},
    {TextId::TitleUnknownKind, "Type de jeu inconnu"},
    {TextId::TitleAmbiguousKind, "Type de jeu ambigu"},
    {TextId::TitleWrongDestination, "Destination incorrecte"},

    {TextId::JobCancelled, "Le processus a été annulé."},
    {TextId::JobStoppedByError, "Le processus a été arrêté à cause d'une erreur !"},
    {TextId::JobSucceeded, "Processus terminé avec succès"},
    {TextId::JoinLeftIncomplete,
     "\n\r\n\rLe fichier recollé est incomplet ; il a été laissé sous le nom :\n\r%1"},
    {TextId::JoinLeftWhole,
     "\n\r\n\rLe fichier recollé est complet, mais il a gardé son nom temporaire :\n\r%1"},
    {TextId::CancelLeftFile, "\n\r\n\rCe fichier créé n'a pas pu être supprimé :%1"},
    {TextId::CancelLeftFiles, "\n\r\n\rCes fichiers créés n'ont pas pu être supprimés :%1"},

    {TextId::CannotOpenFile, "Impossible d'ouvrir le fichier !%1"},
    {TextId::SourceTooSmall, "Le fichier sélectionné à une taille inférieure à 1 Mo.", kKept},
    {TextId::NoKnownKind, "Ce fichier n'appartient à aucun type de jeu reconnu :\n\r%1%2"},
    {TextId::ChooseKindInDialog,
     "\n\r\n\rChoisissez son type dans la liste de la boîte d'ouverture."},
    {TextId::ChooseKindWithOption, "\n\r\n\rPrécisez son type avec --format (types : %1)."},
    {TextId::SeveralKindsInWindow,
     "Ce fichier peut appartenir à un jeu de plusieurs types :\n\r%1\n\r%2%3"},
    {TextId::SeveralKindsInCli,
     "Ce fichier peut appartenir à un jeu de plusieurs types (%1) :\n\r%2\n\r\n\rPrécisez lequel "
     "avec "
     "--format."},
    {TextId::ListSeparator, ", "},
    {TextId::ListLineLead, "\n\r- "},
    {TextId::OpenErrorLine, "%1."},

    {TextId::NotEnoughSpace,
     "Il n'y a pas assez d'espace sur le disque dur ( %1: ) !\n\r\n\rLibre : %2 | Nécessaire : %3 "
     "| "
     "Besoin : %4",
     kKept},
    {TextId::DestinationFileExistsLine, "\n\r- Le fichier de destination existe déjà :\n\r\n\r%1"},
    {TextId::DestinationFolderExistsLine,
     "\n\r- Un dossier porte déjà le nom du fichier de destination :\n\r\n\r%1"},
    {TextId::NameTakenByFile, "Le fichier < %1 > existe déjà !"},
    {TextId::NameTakenByFolder, "Un dossier < %1 > existe déjà !"},
    {TextId::NameTooLongLine,
     "\n\r- Nom du fichier de Destination trop long pour le système de fichiers (%1 octets au plus "
     "par nom de fichier).",
     kKept},
    {TextId::SplitCancelled, "Le découpage a été annulé."},
    {TextId::JoinCancelled, "Le recollage a été annulé."},
    {TextId::ChooseHardDisk, "Vous devez choisir un disque dur !"},

    {TextId::NoCopyBuffer, "Impossible d'allouer de la mémoire pour le buffer."},
    {TextId::FirstPartNotAccessible, "Le fichier n'est pas accessible.%1"},
    {TextId::PartNotAccessible, "Le fichier n'est pas accessible !%1"},
    {TextId::PartTooShortForHeader,
     "Le fichier n°%1 est trop court pour contenir son en-tête : il semble être corrompu."},
    {TextId::PartReadFailed, "Erreur de lecture du fichier n°%1.%2"},
    {TextId::PartEndedEarly,
     "Le fichier n°%1 est plus court que prévu : il a changé pendant le recollage."},
    {TextId::PartChanged,
     "Le fichier n°%1 a été modifié ou remplacé pendant le recollage : le fichier recollé ne "
     "serait pas le fichier d'origine."},
    {TextId::DestinationWriteFailed, "Erreur d'écriture dans le fichier de destination.%1"},
    {TextId::OutputNotRenamed, "Le fichier recollé n'a pas pu recevoir son nom.%1"},
    {TextId::DestinationExists, "Le fichier de destination existe déjà :\n\r\n\r%1"},

    {TextId::ReasonNativeSignature, "signature Parcelwise"},
    {TextId::ReasonLegacyMark, "marque du format 1.0 (à convertir avec pcw convert)"},
    {TextId::ReasonEasySplitHeader, "en-tête EasySplit"},
    {TextId::ReasonSplitter40Descriptor, "descripteur Splitter 4.0"},
    {TextId::ReasonNativeName, "nom en .NNN.pcw"},
    {TextId::ReasonMaxSplitName, "nom en __NNN"},
    {TextId::ReasonKfkName, "nom en .kk0"},
    {TextId::ReasonDKoupName, "nom en .D%1"},
    {TextId::ReasonSingleDigitName, "nom en .N, à un chiffre"},
    {TextId::ReasonNumberedName, "nom numéroté"},
    {TextId::ReasonNumberedCutkillerHeader, "nom numéroté, en-tête possible de Cutkiller"},

    {TextId::TitleReadFailed, "Echec de lecture du fichier", kKept},
    {TextId::TitleCorruptFile, "Fichier corrompu"},
    {TextId::TitleConversionNeeded, "Conversion nécessaire"},

    {TextId::ProblemsIntro, "Une ou plusieurs informations sont incorrectes : \n\r%1", kKept},
    {TextId::CreateFailedListingCauses,
     "Une erreur est survenue pendant la création du fichier de destination : \n\r\n\r"
     "    - Le fichier de destination existe déjà.\n\r"
     "    - Le dossier de destination est en lecture seule.",
     kKept},
    {TextId::SetLooksInterrupted,
     "\n\r\n\rLe jeu de fichiers semble incomplet : le découpage a probablement été "
     "interrompu."},
    {TextId::UnsafeNameLine, "\n\r- Nom du fichier de Destination incorrect (%1)."},
    {TextId::OriginalNameLengthLine, "\n\r- Nom du fichier Original (longeur entre 1 et 255 car.).",
     kKept},
    {TextId::DestinationNameLengthLine,
     "\n\r- Nom du fichier de Destination (longeur entre 1 et 255 car.).", kKept},
    {TextId::PartSizeNotPositiveLine, "\n\r- Taille de découpage incorrecte (Supérieure à 0).",
     kKept},
    {TextId::PartTooLargeLine,
     "\n\r- Taille de découpage trop grande : un fichier ne peut contenir plus de %1 octets (il "
     "faut au moins %2 fichiers)."},
    {TextId::TooManyPartsLine,
     "\n\r- Taille de découpage trop petite : %1 fichiers, %2 au plus (choisissez une taille plus "
     "grande)."},
    {TextId::PartSizeNotPositive, "Taille de découpage incorrecte (Supérieure à 0).", kKept},
    {TextId::PartSizeAboveSourceLine,
     "\n\r- Taille de découpage supérieure à la taille originale du fichier."},
    {TextId::PartSizeIsSourceLine,
     "\n\r- Taille de découpage égale à la taille du fichier (il faut au moins 2 "
     "fichiers)."},
    {TextId::NativePartWriteFailed, "Erreur d\'écriture dans le fichier *.%1.pcw.%2"},
    {TextId::NativePartMissing, "Le fichier *.%1.pcw est introuvable.%2"},
    {TextId::NoSplitBuffer, "Impossible d\'allouer la mémoire nécessaire au buffer !"},
    {TextId::SourceNotAccessible, "Le fichier source n\'est pas accessible !%1"},
    {TextId::SourceResized,
     "Le fichier source a changé de taille depuis son ouverture : ouvrez-le à nouveau."},
    {TextId::SourceReadFailed, "Erreur de lecture du fichier source !%1"},
    {TextId::SourceEndedEarly,
     "Le fichier source est plus court que prévu : il a changé pendant le découpage !"},
    {TextId::StreamTooSmall,
     "L'entrée standard n'a donné que %1 octets, pas plus de 1 Mo : aucun jeu n'a été écrit."},
    {TextId::StreamInOnePart,
     "L'entrée standard n'a donné que %1 octets, qui tiennent dans un seul fichier de %2 octets "
     "(il faut au moins 2 fichiers) : aucun jeu n'a été écrit."},
    {TextId::StreamTooManyParts,
     "L'entrée standard passe %1 fichiers de %2 octets : aucun jeu n'a été écrit (choisissez une "
     "taille plus grande)."},
    {TextId::StreamRate, "%1/s"},
    {TextId::SizeInMegabytes, "%1,%2 Mo"},
    {TextId::NativePartHashFailed,
     "Impossible de lire le fichier *.%1.pcw pour calculer son Hash MD5.%2"},
    {TextId::NotFirstNativePart,
     "Ce fichier n\'est pas le premier fichier d\'un jeu Parcelwise (*.001.pcw)."},
    {TextId::CannotReadFileData, "Impossible de lire les données du fichier.%1"},
    {TextId::NativeSetCorrupt,
     "Le fichier Parcelwise semble être corrompu. Il n\'est pas possible de le "
     "recoller.%1"},
    {TextId::NeedsConversion, "Ce fichier nécessite une conversion du format 1.0 au format 1.1."},
    {TextId::PartMissing, "Le fichier n°%1 est introuvable", kKept},
    {TextId::NumberedPartNotAccessible, "Le fichier n°%1 n\'est pas accessible !%2"},
    {TextId::PartCorrupt, "Le fichier n°%1 est corrompu."},
    {TextId::SizesDoNotAddUp,
     "La taille des fichiers ne correspond pas à celle du fichier d\'origine : le jeu "
     "de fichiers est incomplet ou corrompu.%1"},
    {TextId::PartsCreatedOne, "%1 fichier créé..."},
    {TextId::PartsCreatedMany, "%1 fichiers créés..."},
    {TextId::CreatingNativePart, "Création de < %1.%2.pcw >"},
    {TextId::PartsJoinedOne, "%1 fichier recollé..."},
    {TextId::PartsJoinedMany, "%1 fichiers recollés..."},
    {TextId::JoiningPart, "Recollage du fichier n° %1", kKept},
    {TextId::CreatingDigests, "Création des Hash MD5"},
    {TextId::CheckingDigests, "Contrôle des Hash MD5"},
    {TextId::DigestOfPart, "Hash MD5 du fichier n° %1", kKept},
    {TextId::CheckingPart, "Vérification du fichier n° %1", kKept},
    {TextId::JoinSucceeded, "Le fichier a été recoller avec succès !", kKept},
    {TextId::SplitSucceeded, "Le fichier a été coupé avec succès !"},
    {TextId::StoredNameSimplifiedLine,
     "\n\rLe nom enregistré dans le jeu a dû être simplifié : %1"},
    {TextId::StoredNameReserved,
     "Le nom enregistré dans le jeu est un %1 : le fichier recollé s'appellera %2."},
    {TextId::PlainPartTooLargeLine,
     "\n\r- Taille de découpage trop grande : %1 octets, quand le disque de destination ne "
     "prend pas de fichier de plus de %2 octets."},
    {TextId::PlainTooManyPartsLine,
     "\n\r- Taille de découpage trop petite : %1 fichiers, %2 au plus dans un jeu simple "
     "(numéros de .001 à .999)."},
    {TextId::CreatingPlainPart, "Création de < %1.%2 >"},
    {TextId::PlainPartWriteFailed, "Erreur d'écriture dans le fichier < %1.%2 >%3"},
    {TextId::CreatingChecksums, "Création de < %1 >"},
    {TextId::ChecksumOfPart, "Somme de contrôle du fichier n° %1"},
    {TextId::PlainHashFailed, "Impossible de calculer les sommes de contrôle.%1"},
    {TextId::ChecksumFileWriteFailed, "Impossible d'écrire le fichier des sommes de contrôle.%1"},
    {TextId::CheckingChecksums, "Contrôle des sommes de contrôle"},
    {TextId::ScriptSays, "Ce script recolle %1 à partir de ses %2 fichiers, à côté de lui."},
    {TextId::ScriptFileExists, "%1 existe déjà : rien n'est écrasé."},
    {TextId::ScriptChecking, "Vérification des fichiers avec %1..."},
    {TextId::ScriptNoChecker, "%1 est absent : les fichiers ne sont pas vérifiés."},
    {TextId::ScriptPartDamaged, "%1 est absent ou endommagé : rien n'est recollé."},
    {TextId::ScriptJoining, "Recollage de %1..."},
    {TextId::ScriptJoinFailed, "Le recollage de %1 a échoué."},
    {TextId::ScriptDone, "%1 est recollé."},
    {TextId::ScriptWriteFailed, "Impossible d'écrire le script de recollage.%1"},
    {TextId::CliScriptsNeedPlain, "--scripts ne se donne qu'avec --plain et --md5 ou --sha256"},

    {TextId::ForeignOpenFailed,
     "Impossible d\'ouvrir ce fichier, vérifier qu\'il s\'agit bien d\'un fichier "
     "découpé avec %1.",
     kKept},
    {TextId::ToolsDKoup, "D-Koup ou Découpeur"},
    {TextId::ToolsNumbered, "HJSplit, FileSpliter ou UltraSplitter"},
    {TextId::EntryGenericSet, "Format Générique inconnu (*.001)"},
    {TextId::EntryAnyFile, "Tous les fichiers (*.*)"},
    {TextId::EntryAudio, "Fichier Audio (*.wav,*.mp3,*.ogg,*.wma)"},
    {TextId::EntryVideo, "Fichier Vidéo (*.mpeg;*.avi;*.mkv;*.ogm;*.vob;)"},
    {TextId::EntryCdImage, "Fichier Image CD (*.iso,*.bin,*.nrg,*.mds)"},
    {TextId::EntryImage, "Fichier Image (*.bmp,*.jpg,*.psd,*.png,*.tiff)"},
    {TextId::EntryArchive, "Fichier Archive (*.zip,*.rar,*.ace,*.7z)"},
    {TextId::ForeignNameLengthLine, "\n\r- Nom du fichier original (longeur entre 1 et 255 car.).",
     kKept},
    {TextId::ForeignUnsafeNameLine, "\n\r- Nom du fichier original incorrect (%1)."},

    {TextId::JudgedPartMissing, "absent"},
    {TextId::JudgedPartsMissing, "absents"},
    {TextId::JudgedPartUnreadable, "illisible%1"},
    {TextId::JudgedPartShortForHeader, "trop court pour contenir son en-tête"},
    {TextId::JudgedPartShort, "trop court (%1 octets de données au lieu de %2)"},
    {TextId::JudgedPartLong, "trop long (%1 octets de données au lieu de %2)"},
    {TextId::JudgedPartDamaged, "endommagé (son Hash MD5 ne correspond pas)"},
    {TextId::JudgedPartDamagedByChecksum, "endommagé (sa somme ne correspond pas à celle de %1)"},
    {TextId::JudgedPartExtra, "en trop : il ne fait pas partie du jeu"},
    {TextId::JudgedPartMisplaced,
     "mal placé : son en-tête est celui du fichier n°%1 (d'un jeu ou d'un autre)"},
    {TextId::JudgedPartForeignHeader,
     "d'un autre jeu ou endommagé : son en-tête ne correspond pas"},
    {TextId::JudgedPartUneven,
     "d'une autre taille que les autres (%1 octets de données au lieu de %2), coupé à une fin de "
     "ligne"},
    {TextId::JudgedPartAtFault, "Le fichier n°%1 est %2."},
    {TextId::SetCountImplausible,
     "Le jeu annonce %1 fichiers, mais %2 : ce nombre n'est pas plausible, l'en-tête du jeu semble "
     "être corrompu."},
    {TextId::SetFoundOne, "un seul est là"},
    {TextId::SetFoundMany, "seuls %1 sont là"},
    {TextId::SetLonePart,
     "Un seul fichier a été trouvé : un jeu en compte au moins deux. Les autres sont peut-être "
     "dans un autre dossier, ou sous un autre nom."},
    {TextId::SetWholeFileDiffers,
     "Le fichier reconstitué ne serait pas < %1 > : chaque fichier du jeu est intact, mais "
     "leur assemblage ne correspond pas à la somme de contrôle que < %2 > donne pour < %1 >."},
    {TextId::SetCutAtLineEnds,
     "Des fichiers n'ont pas la taille des autres (%1 octets) : %2. Chacun finit par une fin de "
     "ligne : ce jeu a été découpé par lignes, et ces tailles ne prouvent rien."},
    {TextId::SetUnevenPart, "n°%1 (%2 octets)"},
    {TextId::SetListGoesOn, ", …"},
    {TextId::SetNoFirstDKoupPart,
     "Aucun fichier en .D00 : ce jeu est lu comme un jeu de Découpeur, qui commence à .D01. S'il "
     "vient de D-Koup, son premier fichier (.D00) manque."},
    {TextId::InfoSetDamaged, "État : incomplet ou endommagé (%1)\n"},
    {TextId::InfoFaultyPartOne, "1 fichier en cause : pcw verify le nomme"},
    {TextId::InfoFaultyPartMany, "%1 fichiers en cause : pcw verify les nomme"},
    {TextId::VerifyPartLine, "Fichier n°%1 (%2) : %3\n"},
    {TextId::VerifyRunLine, "Fichiers n°%1 à n°%2 (%3…) : %4\n"},
    {TextId::VerifyPartIntact, "intact"},
    {TextId::VerifyMayContinue,
     "Le dernier fichier a la taille des autres : d'autres fichiers ont pu le suivre, et le jeu "
     "n'est peut-être pas complet."},
    {TextId::VerifyWhole, "Le jeu est complet : %1 fichiers, tous %2.\n"},
    {TextId::VerifySeemsWhole, "Le jeu semble complet : %1 fichiers, tous %2, mais :\n"},
    {TextId::VerifyAllIntact, "intacts"},
    {TextId::VerifyAllPresentAndSized, "présents et de la bonne taille"},
    {TextId::VerifyAllPresent, "présents"},
    {TextId::VerifyDamagedOne, "Le jeu est incomplet ou endommagé : %1 fichier sur %2 en cause.\n"},
    {TextId::VerifyDamagedMany,
     "Le jeu est incomplet ou endommagé : %1 fichiers sur %2 en cause.\n"},
    {TextId::VerifyDamaged, "Le jeu est incomplet ou endommagé.\n"},
    {TextId::VerifyNoteLine, "- %1\n"},
    {TextId::VerifyWithoutDigests,
     "Ce jeu ne porte pas de Hash MD5 (ou ils n'ont pu être lus) : seules la présence et la taille "
     "des fichiers ont pu être vérifiées.\n"},

    {TextId::RecoveryPartLine, "Fichier de secours n°%1 (%2) : %3\n"},
    {TextId::RecoveryPartsIntact, "Fichiers de secours : %1, tous intacts.\n"},
    {TextId::RecoveryRepairable, "réparable : %1, %2\n"},
    {TextId::RecoveryToRebuild, "%1 fichiers à reconstruire"},
    {TextId::RecoveryOneToRebuild, "1 fichier à reconstruire"},
    {TextId::RecoveryPresent, "%1 fichiers de secours présents"},
    {TextId::RecoveryOnePresent, "1 fichier de secours présent"},
    {TextId::RecoveryIrreparable, "irréparable : %1, il faudrait %2 et il y en a %3\n"},
    {TextId::RecoveryLost, "%1 fichiers manquants ou endommagés"},
    {TextId::RecoveryOneLost, "1 fichier manquant ou endommagé"},
    {TextId::RecoveryNeeded, "%1 fichiers de secours intacts"},
    {TextId::RecoveryOneNeeded, "1 fichier de secours intact"},
    {TextId::RecoveryIgnoredLine, "Fichier de secours ignoré (%1) : %2\n"},
    {TextId::RecoveryOtherVersion, "version %1 de ce format, que ce programme ne lit pas"},
    {TextId::RecoveryBadHeader, "son en-tête est endommagé"},
    {TextId::RecoveryOtherSet, "il appartient à un autre jeu"},
    {TextId::RecoveryNotFound, "Aucun fichier de secours de ce jeu n'a été trouvé près de %1."},
    {TextId::RecoveryReadFailed, "Impossible de lire un fichier du jeu :%1"},
    {TextId::RecoveryWriteFailed, "Impossible d'écrire un fichier de secours ou reconstruit :%1"},
    {TextId::RecoveryPartExists,
     "Le fichier %1 existe déjà : les fichiers de secours ne remplacent aucun fichier."},
    {TextId::RecoveryTooManyShards,
     "Un jeu protégé compte au plus %1 fichiers, fichiers de secours compris ; celui-ci en "
     "compterait %2."},
    {TextId::RecoveryRebuiltWrong,
     "Le fichier reconstruit %1 ne correspond pas à son Hash MD5 : rien n'a été remplacé."},
    {TextId::RecoverySetNotWhole, "Seul un jeu complet peut être protégé.\n\r%1"},
    {TextId::RepairRebuiltLine, "Reconstruit : %1\n"},
    {TextId::RepairKeptAsideLine, "Mis de côté : %1, sous le nom %2\n"},
    {TextId::RepairNothingToDo, "Le jeu est complet : rien à réparer.\n"},
    {TextId::ProtectWrittenLine, "Fichier de secours écrit : %1\n"},
    {TextId::JoinRebuiltLine,
     "Fichier n°%1 (%2) reconstruit à partir des fichiers de secours, sans être écrit\n"},
    {TextId::JoinRepairFirst,
     "Les fichiers de secours du jeu suffisent à le réparer : pcw repair %1, puis recollez-le.\n"},
    {TextId::CliRecoveryCount,
     "--recovery attend un nombre de fichiers de secours de 1 à %1, sans dépasser le nombre de "
     "fichiers du jeu"},
    {TextId::StatusWritingRecovery, "Écriture des fichiers de secours..."},
    {TextId::StatusJoinRepairing, "Reconstruction des fichiers perdus et assemblage..."},

    {TextId::TitleConversionStopped, "Conersion interrompue", kKept},
    {TextId::UnknownFileFormat, "Format de fichier inconnu"},
    {TextId::LegacyNotFirstPart,
     "Ce fichier n\'est pas le premier d\'un jeu : le nom du premier fichier se termine "
     "par .001.pcw."},
    {TextId::ConvertCreateFailedListingCauses,
     "Une erreur est survenue pendant la création du fichier conversion : \n\r\n\r"
     "    - Le fichier de conversion existe déjà.\n\r"
     "    - Le dossier de conversion est en lecture seule.",
     kKept},
    {TextId::QuotedFileName, "< %1 >"},
    {TextId::KeptFileExists,
     "Le fichier %1 existe déjà : la conversion ne peut pas conserver l\'ancien fichier."},
    {TextId::LegacyReadFailed, "Erreur de lecture du fichier %1.%2"},
    {TextId::LegacyShorterThanBlocks,
     "Le fichier %1 est plus court que ne le disent ses blocs : il semble être corrompu."},
    {TextId::LegacyChanged, "Le fichier %1 a été modifié pendant la conversion."},
    {TextId::LegacyWriteFailed, "Erreur d\'écriture dans le fichier %1.%2"},
    {TextId::LegacyCannotPutAside,
     "Le fichier %1 ne peut pas être renommé en %2 : la conversion n\'a pas eu lieu.%3"},
    {TextId::LegacyOldRestored,
     "Le fichier converti %1 ne peut pas prendre le nom %2. L\'ancien fichier a repris "
     "sa place : la conversion n\'a pas eu lieu.%3"},
    {TextId::LegacyOldAside,
     "Le fichier converti %1 ne peut pas prendre le nom %2, et l\'ancien fichier n\'a "
     "pas pu reprendre le sien : il se trouve sous le nom %3.%4"},
    {TextId::ConvertSucceeded, "Le fichier a été converti au format Parcelwise 1.1 avec succès !"},

    {TextId::CliMissingCommand, "commande manquante"},
    {TextId::CliUnknownCommand, "commande inconnue : %1"},
    {TextId::CliUnknownOption, "option inconnue : %1"},
    {TextId::CliOptionTwice, "option donnée deux fois : %1"},
    {TextId::CliOptionTakesNoValue, "l'option %1 ne prend pas de valeur"},
    {TextId::CliValueMissing, "valeur manquante après %1"},
    {TextId::CliFileMissing, "fichier manquant"},
    {TextId::CliArgumentTooMany, "argument en trop : %1"},
    {TextId::CliWantsNumber, "%1 attend un nombre entier de %2 à %3 : %4"},
    {TextId::CliWantsSize,
     "%1 attend une taille de 1 à %2 octets, en octets ou suivie de k, M, G (1024, 1024², "
     "1024³) ou de kB, MB, GB (1000, 1000², 1000³) : %3"},
    {TextId::CliSizeAboveLimit,
     "%1 %2 fait %3 octets, plus que les %4 octets qu'un fichier du jeu peut contenir"},
    {TextId::CliWantsBufferSize, "--buffer attend l'une des tailles %1 : %2"},
    {TextId::CliWantsFileName,
     "%1 attend un nom de fichier, sans dossier ni caractère de contrôle : %2"},
    {TextId::CliWantsUnreservedName, "%1 attend un nom de fichier qui ne soit pas un %2 : %3"},
    {TextId::CliOneSizeOption,
     "une seule des options --size, --count, --bytes et --preset à la fois"},
    {TextId::CliOutputIsDash,
     "--output attend - (la sortie standard) ; --name et --folder choisissent le fichier : %1"},
    {TextId::CliOutputAlone, "--output - ne se donne ni avec --name ni avec --folder"},
    {TextId::CliStreamCount,
     "split - coupe l'entrée standard dont la taille n'est connue qu'à la fin : --size ou "
     "--bytes, pas --count"},
    {TextId::CliStreamName, "split - demande --name, le nom des fichiers du jeu"},
    {TextId::CliPlainOnly, "%1 ne se donne qu'avec --plain"},
    {TextId::CliNotWithPlain, "%1 ne se donne pas avec --plain"},
    {TextId::CliOneDigestKind, "une seule des options --md5 et --sha256 à la fois"},
    {TextId::CliPlainStream, "split --plain coupe un fichier, pas l'entrée standard"},
    {TextId::CliUnknownPreset, "format de support inconnu : %1 (formats : %2)"},
    {TextId::CliPresetTooLarge,
     "--preset %1 fait %2 octets, plus que les %3 octets qu'un fichier du jeu peut contenir : "
     "ajoutez --plain"},
    {TextId::CliUnknownKind, "type de jeu inconnu : %1 (types : %2)"},
    {TextId::CliSynopsis,
     "Utilisation :\n"
     "  pcw split SOURCE|- [--size MO | --count N | --bytes N | --preset SUPPORT]\n"
     "            [--md5] [--recovery N] [--name NOM] [--store-name NOM]\n"
     "            [--folder DOSSIER] [--buffer OCTETS] [--json]\n"
     "  pcw split SOURCE --plain [--size MO | --count N | --bytes N\n"
     "            | --preset SUPPORT] [--md5 | --sha256] [--scripts] [--name NOM]\n"
     "            [--folder DOSSIER] [--buffer OCTETS] [--json]\n"
     "  pcw join MORCEAU [--format TYPE] [--no-verify] [--name NOM]\n"
     "           [--folder DOSSIER] [--buffer OCTETS] [--output -] [--json]\n"
     "  pcw info MORCEAU [--format TYPE] [--json]\n"
     "  pcw verify MORCEAU [--format TYPE] [--verbose] [--json]\n"
     "  pcw convert PREMIER_FICHIER_V10\n"
     "  pcw protect MORCEAU --recovery N [--format TYPE]\n"
     "  pcw repair MORCEAU [--verbose]\n"
     "  pcw --help | --version\n"},
    {TextId::CliUsageError, "pcw: %1\n%2Voir « pcw --help ».\n"},
    {TextId::CliPressKeyToClose, "Appuyez sur une touche pour fermer cette fenêtre..."},
    {TextId::DestinationFolderMissing, "Le dossier de destination n'existe pas :\n\r\n\r%1"},
    {TextId::CliCancelled, "Opération annulée"},
    {TextId::CliCancelledLeftFile, " ; fichier laissé : %1"},
    {TextId::CliCancelledLeftFiles, " ; fichiers laissés : %1"},
    {TextId::CliCancelledNothingLeft, " ; aucun fichier créé n'a été laissé."},
    {TextId::StandardOutputName, "la sortie standard"},
    {TextId::DetectedKindWithReason, "%1 (%2)"},
    {TextId::InfoDetectedKind, "Type détecté : %1\n"},
    {TextId::InfoLegacyFormat, "Format : Parcelwise 1.0 (à convertir avec pcw convert)\n"},
    {TextId::InfoOriginalName, "Nom d'origine : %1\n"},
    {TextId::InfoOriginalSize, "Taille d'origine : %1 octets (%2)\n"},
    {TextId::InfoAnnouncedSize, "Taille annoncée : %1 octets (%2)\n"},
    {TextId::InfoPartCount, "Nombre de fichiers : %1\n"},
    {TextId::InfoSplitDate, "Date du découpage : %1\n"},
    {TextId::DateShown, "%1/%2/%3"},
    {TextId::InfoDigests, "Hash MD5 : %1\n"},
    {TextId::Yes, "oui"},
    {TextId::No, "non"},

    {TextId::HelpText,
     "%1 : coupe un fichier en un jeu de fichiers et recolle les jeux.\n\n%2"
     "\n"
     "Commandes :\n"
     "  split    coupe SOURCE en NOM.001.pcw, NOM.002.pcw... dans le dossier de SOURCE\n"
     "           ou - (l'entrée standard, avec --name et --size ou --bytes) dans le\n"
     "           dossier courant\n"
     "  join     recolle le jeu dont MORCEAU est l'un des fichiers\n"
     "  info     décrit le jeu sans rien écrire\n"
     "  verify   vérifie chaque fichier du jeu (présence, taille, Hash MD5)\n"
     "           sans rien écrire\n"
     "  convert  convertit un jeu du format 1.0 au format 1.1\n"
     "           (réécrit son premier fichier)\n"
     "  protect  ajoute des fichiers de secours à un jeu complet de tout type lu\n"
     "  repair   reconstruit les fichiers manquants ou endommagés d'un jeu protégé\n"
     "\n"
     "Options :\n"
     "  --size MO         taille de chaque fichier en Mo, de 1 à 999%3\n"
     "  --count N         nombre de fichiers, de 1 à 999%4\n"
     "  --bytes N         taille exacte de chaque fichier, de 1 à 2147483647 octets :\n"
     "                    en octets ou avec une unité : k, M, G (par 1024)\n"
     "                    ou kB, MB, GB (par 1000) ; ainsi 700M, 1.5G, 100k, 25MB\n"
     "  --md5             ajoute au dernier fichier le Hash MD5 de chaque fichier\n"
     "  --recovery N      écrit N fichiers de secours (NOM.R01.pcw...), de 1 à 50 :\n"
     "                    N fichiers du jeu perdus ou endommagés se reconstruisent\n"
     "  --preset SUPPORT  la taille d'un support : fat32, cd, dvd, dvd-dl, bd,\n"
     "                    mail-25, mail-10 (voir man pcw)\n"
     "  --plain           split : jeu simple, NOM.001, NOM.002... de données seules,\n"
     "                    que cat, copy /b et 7-Zip recollent ; fichiers aussi grands\n"
     "                    que le disque de destination le permet\n"
     "  --md5, --sha256   avec --plain : écrit NOM.md5 ou NOM.sha256, que md5sum -c\n"
     "                    ou sha256sum -c lisent (chaque fichier et le fichier entier)\n"
     "  --scripts         avec --plain et une somme : NOM.join.sh (sh) et NOM.join.cmd\n"
     "                    (Windows), qui vérifient les fichiers puis recollent NOM\n"
     "  --name NOM        nom de destination (par défaut : le nom du fichier source,\n"
     "                    ou pour join le nom enregistré dans le jeu)\n"
     "  --store-name NOM  nom enregistré dans le jeu (par défaut : le nom de SOURCE)\n"
     "  --folder DOSSIER  dossier de destination (par défaut : celui de la source)\n"
     "%5%6"
     "  --no-verify       recolle sans contrôler les Hash MD5 du jeu\n"
     "  --output -, -o -  join : écrit le fichier recollé sur la sortie standard,\n"
     "                    après avoir vérifié tout le jeu quand il porte des Hash MD5\n"
     "\n"
     "  --json            info, verify : la réponse en un objet JSON ; split, join :\n"
     "                    un résumé JSON à la fin (clés : voir man pcw)\n"
     "\n"
     "Les messages s'affichent sur la sortie d'erreur, précédés de leur titre ; la\n"
     "sortie standard ne porte que la réponse (info, verify, --json) ou les données\n"
     "(join -o -).\n"
     "Code de sortie : 0 succès (verify : jeu entier), 1 opération refusée ou\n"
     "                 échouée (verify : jeu endommagé), 2 mauvaise utilisation,\n"
     "                 3 (verify) jeu endommagé mais réparable,\n"
     "                 130, 143, 129 annulée par SIGINT, SIGTERM, SIGHUP,\n"
     "                 141 sortie standard fermée par son lecteur (join -o -).\n"},
    {TextId::HelpByDefault, "(%1 par défaut)"},
    {TextId::HelpBufferLead, "  --buffer OCTETS   taille du buffer de copie :"},
    {TextId::HelpFormatLead, "  --format TYPE     impose le type du jeu :"},
    {TextId::HelpLastOfList, "ou"},

    {TextId::TitleMainWindow, "Parcelwise v1.1"},
    {TextId::TitleAbout, "-=Parcelwise v1.1=-"},
    {TextId::TitleFormatUnavailable, "Format non disponible"},
    {TextId::TitleWrongName, "Nom incorrecte !", kKept},
    {TextId::TitleWrongEntry, "Erreur de saisie"},
    {TextId::TipQuit, "Quitter Parcelwise 1.1"},
    {TextId::TipMinimise, "Minimiser Parcelwise 1.1"},
    {TextId::TipAbout, "A propos d''Parcelwise 1.1", kKept},
    {TextId::CaptionSettings, "Paramètres"},
    {TextId::CaptionSplit, "Couper"},
    {TextId::CaptionJoin, "Coller"},
    {TextId::TipSplit, "Couper un fichier"},
    {TextId::TipJoin, "Joindre un fichier"},
    {TextId::TipOpen, "Ouvrir un fichier"},
    {TextId::TipChangeFolder, "Changer le dossier de destination"},
    {TextId::ModeBySize, "Taille"},
    {TextId::ModeByCount, "Nombre"},
    {TextId::TipChooseMode, "Choisir un mode de calcul"},
    {TextId::TipSizePresets, "Clic droit : la taille d'un support (clé FAT32, CD, DVD, e-mail)"},
    {TextId::PresetEntry, "%1 : %2 octets"},
    {TextId::PresetNeedsPlainEntry,
     "%1 : %2 octets (jeu simple : Paramètres ou pcw split --plain)"},
    {TextId::CaptionMegabytes, "Mo"},
    {TextId::CaptionCreateDigests, "Créer Hash MD5"},
    {TextId::CaptionCreateSha256, "Créer Hash SHA256"},
    {TextId::CaptionCheckDigests, "Vérifier Hash MD5"},
    {TextId::ActionSplit, "COUPER"},
    {TextId::ActionJoin, "COLLER"},
    {TextId::CaptionConvert, "Convertir"},
    {TextId::TipConvert, "Convertir un fichier Parcelwise 1.0 vers 1.1"},
    {TextId::TipEditor, "< ENTRER > pour valider\r\n< ECHAP > pour annuler"},
    {TextId::FormatNotSupported,
     "Ce format de fichier n'est pas encore pris en charge par cette version de "
     "Parcelwise."},
    {TextId::WantsWholeNumber, "Vous devez saisir un entier entre 1 et 999 !"},
    {TextId::ChooseDestinationFolder, "Choisissez un dossier de destination."},
    {TextId::NoFileOpened, "Vous n'avez ouvert aucun fichier !"},
    {TextId::WorkStoppedFilesLeft,
     "Le processus a été arrêté !\n\r\n\rDes fichiers ont été créé et sont sûrement "
     "inutilisable !",
     kKept},
    {TextId::AboutText,
     "Pour plus d'informations, consultez le manuel de Parcelwise : man parcelwise"},

    {TextId::ProductName, "Parcelwise"},
    {TextId::CaptionCancel, "Annuler"},
    {TextId::CaptionPause, "Pause"},
    {TextId::CaptionResume, "Continuer"},
    {TextId::StatusWaiting, "En attente..."},
    {TextId::StatusCancelling, "Annulation..."},
    {TextId::StatusSplitPaused, "Découpage en pause..."},
    {TextId::ClockElapsed, "Temps écoulé"},
    {TextId::ClockRemaining, "Temps restant"},
    {TextId::ClockTotal, "Estimation durée totale"},
    {TextId::ClockEnd, "Estimation heure de fin"},
    {TextId::AskCancel, "Voulez-vous vraiment annuler l'opération en cours ?"},

    {TextId::TitleConvertWindow, "Convertir un fichier Parcelwise"},
    {TextId::TipConvertThis, "Convertir ce fichier au format 1.1"},
    {TextId::CaptionClose, "Fermer"},
    {TextId::TipCancelAndClose, "Annuler et fermer la fenêtre"},
    {TextId::CaptionYes, "Oui"},
    {TextId::CaptionNo, "Non"},
    {TextId::TitleSettings, "Paramètres avancés"},
    {TextId::CaptionBuffer, "Mémoire tampon :"},
    {TextId::CaptionBufferDefault, "(16 ko par défaut)"},
    {TextId::BufferSizeEntry, "%1 ko"},
    {TextId::CaptionRecoveryParts, "Fichiers de secours :"},
    {TextId::CaptionRecoveryDefault, "(aucun par défaut)"},
    {TextId::CaptionPartFormat, "Format des morceaux :"},
    {TextId::PartFormatNative, "Parcelwise (.pcw)"},
    {TextId::PartFormatPlain, "simple (.001, .002...)"},
    {TextId::TipPartFormat,
     "Un jeu simple (NOM.001, NOM.002...) se recolle sans Parcelwise, par cat ou copy /b"},
    {TextId::CaptionChecksumKind, "Somme de contrôle :"},
    {TextId::ChecksumMd5Entry, "MD5 (.md5)"},
    {TextId::ChecksumSha256Entry, "SHA-256 (.sha256)"},
    {TextId::TipChecksumKind,
     "Le fichier de sommes d'un jeu simple, lu par md5sum -c ou sha256sum -c"},
    {TextId::TipNoRecoveryForPlain,
     "Un jeu simple n'a pas de fichiers de secours : ils ne se liraient qu'avec Parcelwise"},
    {TextId::CaptionLanguage, "Langue :"},
    {TextId::LanguageAutomatic, "automatique"},
    {TextId::LanguageFrench, "Français"},
    {TextId::LanguageEnglish, "English"},
    {TextId::TipLanguage, "Automatique : la langue du système"},
    {TextId::LanguageAtNextStart, "La langue choisie s'applique au prochain démarrage."},
    {TextId::BufferNote,
     "Remarque : 16 ko de mémoire tampon assurent un découpage/recollage fluide."},
    {TextId::CaptionApply, "Appliquer"},
    {TextId::TipApply, "Appliquer les modifications et fermer"},
    {TextId::TipAbandon, "Annuler les modifications et fermer"},
    {TextId::FilterAnyKnownSet, "Tous les jeux reconnus"},

    {TextId::ArtVersion, "v1.1"},
    {TextId::ArtSourceFile, "Fichier source :"},
    {TextId::ArtDestinationFile, "Fichier de destination :"},
    {TextId::ArtDestinationFolder, "Dossier de destination :"},
    {TextId::ArtConvertTitle, "Convertir un fichier Parcelwise 1.0 > 1.1"},
    {TextId::ArtFileToConvert, "Fichier à convertir :"},
    {TextId::ArtOriginalName, "Nom original :"},
    {TextId::ArtSize, "Taille :"},
    {TextId::ArtDate, "Date :"},
    {TextId::ArtDigest, "Hash MD5 :"},

    {TextId::ReasonPermissionDenied, "permission refusée"},
    {TextId::ReasonDiskFull, "disque plein"},
    {TextId::ReasonNameTooLong, "nom trop long"},
    {TextId::ReasonReadOnlyFileSystem, "système de fichiers en lecture seule"},
    {TextId::ReasonFileBusy, "fichier utilisé par une autre opération"},
    {TextId::ReasonNotFound, "fichier ou dossier introuvable"},
    {TextId::ReasonNotAFolderOnPath, "un élément du chemin n'est pas un dossier"},
    {TextId::ReasonIsAFolder, "c'est un dossier"},
    {TextId::ReasonFileExists, "le fichier existe déjà"},
    {TextId::ReasonInputOutput, "erreur d'entrée-sortie du disque"},
    {TextId::ReasonNotARegularFile, "ce n'est pas un fichier ordinaire"},
    {TextId::ReasonSymbolicLink, "le nom désigne un lien symbolique"},
    {TextId::ReasonChangedMeanwhile, "le fichier a changé ou a été remplacé pendant l'opération"},
    {TextId::ReasonFileTooLarge, "fichier trop grand pour ce système de fichiers"},
    {TextId::ReasonTooManyOpenFiles, "trop de fichiers ouverts"},
    {TextId::ReasonOutOfMemory, "mémoire insuffisante"},
    {TextId::ReasonOtherDisk, "les deux noms ne sont pas sur le même disque"},
    {TextId::ReasonUnknown, "cause inconnue"},
    {TextId::ReasonSystemError, "erreur système n° %1"},
    {TextId::ReasonLine, "\n\r%1 : %2"},
    {TextId::HeldByLine, " (%1)"},
    {TextId::ForbiddenInPosixNames, "caractères interdits : / et caractères de contrôle"},
    {TextId::ForbiddenInWindowsNames,
     "caractères interdits : / \\ < > : \" | ? * et caractères de contrôle, point ou "
     "espace final, noms de périphériques comme CON ou NUL"},
    {TextId::ReservedOnWindows,
     "nom réservé par Windows à un périphérique, comme CON, PRN, AUX, NUL, COM1 ou LPT1, "
     "même suivi d'une extension"},
    {TextId::SettingsUnreadable,
     "Une erreur est survenue lors de la lecture des paramètres dans la base de registre !\n\r"
     "Parcelwise va maintenant s'arrêter pour restaurer les paramètres initiaux."},
    {TextId::TitleSettingsUnreadable, "Erreur lors du chargement"},

};
static_assert(FollowsIds(kFrench), "one French row per text id, in the order of TextId");

}  // namespace

Catalogue FrenchRows() {
    return kFrench;
}

}  // namespace texts
