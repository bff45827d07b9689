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

    {TextId::CannotOpenFile, "Impossible d'ouvrir le fichier !%1"},
    {TextId::SourceTooSmall, "Le fichier sélectionné à une taille inférieure à 1 Mo.", kKept},
    {TextId::NoKnownKind, "Ce fichier n'appartient à aucun type de jeu reconnu :\n%1%2"},
    {TextId::ChooseKindInDialog, "\n\nChoisissez son type dans la liste de la boîte d'ouverture."},
    {TextId::ChooseKindWithOption, "\n\nPrécisez son type avec --format (types : %1)."},
    {TextId::SeveralKindsInWindow,
     "Ce fichier peut appartenir à un jeu de plusieurs types :\n%1\n%2%3"},
    {TextId::SeveralKindsInCli,
     "Ce fichier peut appartenir à un jeu de plusieurs types (%1) :\n%2\n\nPrécisez lequel avec "
     "--format."},
    {TextId::ListSeparator, ", "},
    {TextId::ListLineLead, "\n- "},
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
};
static_assert(FollowsIds(kFrench), "one French row per text id, in the order of TextId");

}  // namespace

Catalogue FrenchRows() {
    return kFrench;
}

}  // namespace texts
