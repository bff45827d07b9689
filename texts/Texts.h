// Every text a user reads, by id: the messages, their titles, the captions and
// the help lines. The texts live in catalogues (texts/French.cpp is the
// reference); code names a text by its id and `Say` words it with its values.
//
// A text's values stand for its placeholders %1 to %9, each replaced once, in
// one pass: a value that holds "%1" (a file name may) is printed as it is. A
// '%' before anything but a digit is itself.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace texts {

// One id per text. A catalogue has a row for each, in this order.
enum class TextId : uint16_t {
    // The titles of messages.
    TitleProgram,         // the program's own title, on most messages
    TitleProgramVersion,  // the title of the program's general error report
    TitleError,
    TitleJoinStopped,
    TitleOutOfMemory,
    TitleFileTooSmall,
    TitleUnknownKind,
    TitleAmbiguousKind,
    TitleWrongDestination,

    // How a job ends.
    JobCancelled,
    JobStoppedByError,
    JobSucceeded,        // the status line of a finished job
    JoinLeftIncomplete,  // %1 the name the incomplete output was left under
    JoinLeftWhole,       // %1 the temporary name a whole output kept
    CancelLeftFile,      // %1 the file a cancel could not remove, on a line of its own
    CancelLeftFiles,     // %1 the files a cancel could not remove, one a line

    // Opening.
    CannotOpenFile,  // %1 the reason line
    SourceTooSmall,
    NoKnownKind,  // %1 the path, %2 how to choose a kind
    ChooseKindInDialog,
    ChooseKindWithOption,  // %1 the kinds
    SeveralKindsInWindow,  // %1 the path, %2 the kinds, one a line, %3 how to choose
    SeveralKindsInCli,     // %1 the kinds, %2 the path
    ListSeparator,         // between the items of a list on one line
    ListLineLead,          // before each item of a list of lines
    OpenErrorLine,         // %1 what the 1.0 set's open said

    // Checking the choices.
    NotEnoughSpace,               // %1 volume, %2 free, %3 needed, %4 missing
    DestinationFileExistsLine,    // %1 the file
    DestinationFolderExistsLine,  // %1 the folder
    NameTakenByFile,              // %1 the name
    NameTakenByFolder,            // %1 the name
    NameTooLongLine,              // %1 the most bytes of a name
    SplitCancelled,
    JoinCancelled,
    ChooseHardDisk,

    // Copying a set's parts.
    NoCopyBuffer,
    FirstPartNotAccessible,  // %1 the reason line
    PartNotAccessible,       // %1 the reason line
    PartTooShortForHeader,   // %1 the part's number
    PartReadFailed,          // %1 the part's number, %2 the reason line
    PartEndedEarly,          // %1 the part's number
    PartChanged,             // %1 the part's number
    DestinationWriteFailed,  // %1 the reason line
    OutputNotRenamed,        // %1 the reason line
    DestinationExists,       // %1 the file

    // Why detection took a part for a kind.
    ReasonNativeSignature,
    ReasonLegacyMark,
    ReasonEasySplitHeader,
    ReasonSplitter40Descriptor,
    ReasonNativeName,
    ReasonMaxSplitName,
    ReasonKfkName,
    ReasonDKoupName,  // %1 the first digit
    ReasonSingleDigitName,
    ReasonNumberedName,
    ReasonNumberedCutkillerHeader,

    // Titles of the sets' messages.
    TitleReadFailed,
    TitleCorruptFile,
    TitleConversionNeeded,

    // The native set.
    ProblemsIntro,  // %1 the problems' lines
    CreateFailedListingCauses,
    SetLooksInterrupted,
    UnsafeNameLine,  // %1 what names may not hold
    OriginalNameLengthLine,
    DestinationNameLengthLine,
    PartSizeNotPositiveLine,
    PartTooLargeLine,  // %1 the largest part, %2 the fewest parts that fit
    TooManyPartsLine,  // %1 the parts asked for, %2 the most a split makes
    PartSizeNotPositive,
    PartSizeAboveSourceLine,
    PartSizeIsSourceLine,
    NativePartWriteFailed,  // %1 the part's number, %2 the reason line
    NativePartMissing,      // %1 the part's number, %2 the reason line
    NoSplitBuffer,
    SourceNotAccessible,  // %1 the reason line
    SourceResized,
    SourceReadFailed,  // %1 the reason line
    SourceEndedEarly,
    StreamTooSmall,        // %1 the bytes the stream gave
    StreamInOnePart,       // %1 the bytes the stream gave, %2 the part size
    StreamTooManyParts,    // %1 the most parts, %2 the part size
    StreamRate,            // %1 the bytes per second, as shown
    SizeInMegabytes,       // %1 the whole megabytes, %2 their two truncated decimals
    NativePartHashFailed,  // %1 the part's number, %2 the reason line
    NotFirstNativePart,
    CannotReadFileData,  // %1 the reason line
    NativeSetCorrupt,    // %1 nothing, or why it looks interrupted
    NeedsConversion,
    PartMissing,                // %1 the part's number
    NumberedPartNotAccessible,  // %1 the part's number, %2 the reason line
    PartCorrupt,                // %1 the part's number
    SizesDoNotAddUp,            // %1 nothing, or why it looks interrupted
    PartsCreatedOne,            // 0 or 1 part
    PartsCreatedMany,
    CreatingNativePart,  // %1 the name, %2 the part's number
    PartsJoinedOne,      // 0 or 1 part
    PartsJoinedMany,
    JoiningPart,
    CreatingDigests,
    CheckingDigests,
    DigestOfPart,
    CheckingPart,
    JoinSucceeded,
    SplitSucceeded,
    StoredNameSimplifiedLine,  // %1 the name as the set stores it
    StoredNameReserved,        // %1 what a reserved name is, %2 the name the join gives
    // Plain sets: data only, numbered .001 on, with a checksum file.
    PlainPartTooLargeLine,    // %1 the part size, %2 the largest file the disk holds
    PlainTooManyPartsLine,    // %1 the parts asked for, %2 the most a plain set holds
    CreatingPlainPart,        // %1 the name, %2 the part's number
    PlainPartWriteFailed,     // %1 the part's name, %2 the reason line
    CreatingChecksums,        // %1 the checksum file's name
    ChecksumOfPart,           // %1 the part's number
    PlainHashFailed,          // %1 the reason line
    ChecksumFileWriteFailed,  // %1 the reason line
    CheckingChecksums,
    // What the join scripts beside a plain set say as they run.
    ScriptSays,         // %1 the file it rebuilds, %2 the parts' count
    ScriptFileExists,   // %1 the file it would rebuild
    ScriptChecking,     // %1 the checker
    ScriptNoChecker,    // %1 the checker
    ScriptPartDamaged,  // %1 the part
    ScriptJoining,      // %1 the file
    ScriptJoinFailed,   // %1 the file
    ScriptDone,         // %1 the file
    ScriptWriteFailed,  // %1 the reason line
    CliScriptsNeedPlain,

    // The foreign sets.
    ForeignOpenFailed,  // %1 the tools that make such sets
    ToolsDKoup,
    ToolsNumbered,
    // The open dialogs' entries that are not a tool's own name.
    EntryGenericSet,
    EntryAnyFile,
    EntryAudio,
    EntryVideo,
    EntryCdImage,
    EntryImage,
    EntryArchive,
    ForeignNameLengthLine,
    ForeignUnsafeNameLine,  // %1 what names may not hold

    // The judgement of a set (verify, info and the joins).
    JudgedPartMissing,
    JudgedPartsMissing,
    JudgedPartUnreadable,  // %1 the reason line
    JudgedPartShortForHeader,
    JudgedPartShort,  // %1 the data, %2 what it should hold
    JudgedPartLong,   // %1 the data, %2 what it should hold
    JudgedPartDamaged,
    JudgedPartDamagedByChecksum,  // %1 the checksum file's name
    JudgedPartExtra,
    JudgedPartMisplaced,  // %1 the number its header gives
    JudgedPartForeignHeader,
    JudgedPartUneven,     // %1 the data, %2 the others'
    JudgedPartAtFault,    // %1 the part's number, %2 what is wrong with it
    SetCountImplausible,  // %1 the count, %2 how many are there
    SetFoundOne,
    SetFoundMany,  // %1 how many
    SetLonePart,
    // %1 the rebuilt file's name, %2 the checksum file's name
    SetWholeFileDiffers,
    SetCutAtLineEnds,  // %1 the others' size, %2 the parts
    SetUnevenPart,     // %1 the part's number, %2 its size
    SetListGoesOn,
    SetNoFirstDKoupPart,
    InfoSetDamaged,  // %1 why
    InfoFaultyPartOne,
    InfoFaultyPartMany,  // %1 how many
    VerifyPartLine,      // %1 the number, %2 the path, %3 what is wrong
    VerifyRunLine,       // %1 and %2 the numbers, %3 the first path, %4 what is wrong
    VerifyPartIntact,
    VerifyMayContinue,
    VerifyWhole,       // %1 the count, %2 how they were checked
    VerifySeemsWhole,  // %1 the count, %2 how they were checked
    VerifyAllIntact,
    VerifyAllPresentAndSized,
    VerifyAllPresent,
    VerifyDamagedOne,   // %1 at fault, %2 the count
    VerifyDamagedMany,  // %1 at fault, %2 the count
    VerifyDamaged,
    VerifyNoteLine,  // %1 the note
    VerifyWithoutDigests,

    // Recovery parts: protect, verify, repair.
    RecoveryPartLine,     // %1 the number, %2 the path, %3 what is wrong
    RecoveryPartsIntact,  // %1 the count
    RecoveryRepairable,   // %1 the parts to rebuild, %2 the recovery parts present
    RecoveryToRebuild,    // %1 the count, two or more
    RecoveryOneToRebuild,
    RecoveryPresent,  // %1 the count, two or more
    RecoveryOnePresent,
    RecoveryIrreparable,  // %1 the parts missing or damaged, %2 the recovery parts needed, %3
                          // present
    RecoveryLost,         // %1 the count, two or more
    RecoveryOneLost,
    RecoveryNeeded,  // %1 the count, two or more
    RecoveryOneNeeded,
    RecoveryIgnoredLine,   // %1 the path, %2 why
    RecoveryOtherVersion,  // %1 the version it announces
    RecoveryBadHeader,
    RecoveryOtherSet,
    RecoveryNotFound,       // %1 the part given
    RecoveryReadFailed,     // %1 the reason line
    RecoveryWriteFailed,    // %1 the reason line
    RecoveryPartExists,     // %1 the path
    RecoveryTooManyShards,  // %1 the most, %2 the count the set would have
    RecoveryRebuiltWrong,   // %1 the part
    RecoverySetNotWhole,    // %1 what verify would say of it
    RepairRebuiltLine,      // %1 the path
    RepairKeptAsideLine,    // %1 the part, %2 its new name
    RepairNothingToDo,
    ProtectWrittenLine,  // %1 the path
    JoinRebuiltLine,     // %1 the part's number, %2 its path
    JoinRepairFirst,     // %1 the part given
    CliRecoveryCount,    // %1 the most recovery parts
    StatusWritingRecovery,
    StatusJoinRepairing,

    // The 1.0 converter.
    TitleConversionStopped,
    UnknownFileFormat,
    LegacyNotFirstPart,
    ConvertCreateFailedListingCauses,
    QuotedFileName,           // %1 a file's name
    KeptFileExists,           // %1 the quoted name
    LegacyReadFailed,         // %1 the quoted name, %2 the reason line
    LegacyShorterThanBlocks,  // %1 the quoted name
    LegacyChanged,            // %1 the quoted name
    LegacyWriteFailed,        // %1 the quoted name, %2 the reason line
    LegacyCannotPutAside,     // %1 the first part, %2 its new name, %3 the reason line
    LegacyOldRestored,        // %1 the converted file, %2 the first part, %3 the reason line
    LegacyOldAside,  // %1 the converted file, %2 the first part, %3 the old one's name, %4 the
                     // reason line
    ConvertSucceeded,

    // The command line.
    CliMissingCommand,
    CliUnknownCommand,
    CliUnknownOption,
    CliOptionTwice,
    CliOptionTakesNoValue,
    CliValueMissing,
    CliFileMissing,
    CliArgumentTooMany,
    CliWantsNumber,          // %1 the option, %2 and %3 the bounds, %4 what was given
    CliWantsSize,            // %1 the option, %2 the largest size, %3 what was given
    CliSizeAboveLimit,       // %1 the option, %2 what was given, %3 its bytes, %4 the limit
    CliWantsBufferSize,      // %1 the sizes, %2 what was given
    CliWantsFileName,        // %1 the option, %2 what was given
    CliWantsUnreservedName,  // %1 the option, %2 what a reserved name is, %3 what was given
    CliOneSizeOption,
    CliOutputIsDash,  // %1 what was given
    CliOutputAlone,
    CliStreamCount,
    CliStreamName,
    CliPlainOnly,     // %1 the option that needs --plain
    CliNotWithPlain,  // %1 the option that a plain set has no use for
    CliOneDigestKind,
    CliPlainStream,
    CliUnknownPreset,   // %1 what was given, %2 the presets
    CliPresetTooLarge,  // %1 the preset, %2 its bytes, %3 the native limit
    CliUnknownKind,     // %1 what was given, %2 the kinds
    CliSynopsis,
    CliUsageError,       // %1 the problem, %2 the synopsis
    CliPressKeyToClose,  // after the help, in a console window that closes with pcw
    DestinationFolderMissing,
    CliCancelled,
    CliCancelledLeftFile,   // %1 the file left behind
    CliCancelledLeftFiles,  // %1 the files left behind
    CliCancelledNothingLeft,
    StandardOutputName,      // what a message calls the standard output a join writes to
    DetectedKindWithReason,  // %1 the kind, %2 why
    InfoDetectedKind,
    InfoLegacyFormat,
    InfoOriginalName,
    InfoOriginalSize,   // %1 bytes, %2 the size as shown
    InfoAnnouncedSize,  // %1 bytes, %2 the size as shown
    InfoPartCount,
    InfoSplitDate,
    DateShown,    // %1 the day, %2 the month, both of two digits, %3 the year, of four
    InfoDigests,  // %1 yes or no
    Yes,
    No,

    // The command line's help.
    HelpText,  // %1 the version, %2 the synopsis, %3 and %4 the default of --size or --count, %5
               // and %6 the lines of --buffer and --format
    HelpByDefault,
    HelpBufferLead,
    HelpFormatLead,
    HelpLastOfList,  // before the last item of a list

    // The main window.
    TitleMainWindow,
    TitleAbout,
    TitleFormatUnavailable,
    TitleWrongName,
    TitleWrongEntry,
    TipQuit,
    TipMinimise,
    TipAbout,
    CaptionSettings,
    CaptionSplit,
    CaptionJoin,
    TipSplit,
    TipJoin,
    TipOpen,
    TipChangeFolder,
    ModeBySize,
    ModeByCount,
    TipChooseMode,
    TipSizePresets,
    PresetEntry,            // %1 the preset, %2 its bytes
    PresetNeedsPlainEntry,  // %1 the preset, %2 its bytes
    CaptionMegabytes,
    CaptionCreateDigests,
    CaptionCreateSha256,
    CaptionCheckDigests,
    ActionSplit,
    ActionJoin,
    CaptionConvert,
    TipConvert,
    TipEditor,
    FormatNotSupported,
    WantsWholeNumber,
    ChooseDestinationFolder,
    NoFileOpened,
    WorkStoppedFilesLeft,
    AboutText,

    // The progress window.
    ProductName,
    CaptionCancel,
    CaptionPause,
    CaptionResume,
    StatusWaiting,
    StatusCancelling,
    StatusSplitPaused,
    ClockElapsed,
    ClockRemaining,
    ClockTotal,
    ClockEnd,
    AskCancel,

    // The conversion window, the settings dialog, the dialogs.
    TitleConvertWindow,
    TipConvertThis,
    CaptionClose,
    TipCancelAndClose,
    CaptionYes,
    CaptionNo,
    TitleSettings,
    CaptionBuffer,
    CaptionBufferDefault,
    BufferSizeEntry,  // %1 the size in kibibytes
    CaptionRecoveryParts,
    CaptionRecoveryDefault,
    CaptionPartFormat,
    PartFormatNative,
    PartFormatPlain,
    TipPartFormat,
    CaptionChecksumKind,
    ChecksumMd5Entry,
    ChecksumSha256Entry,
    TipChecksumKind,
    TipNoRecoveryForPlain,
    CaptionLanguage,
    LanguageAutomatic,
    LanguageFrench,   // in French whatever the language, as a French reader looks for it
    LanguageEnglish,  // in English whatever the language
    TipLanguage,
    LanguageAtNextStart,
    BufferNote,
    CaptionApply,
    TipApply,
    TipAbandon,
    FilterAnyKnownSet,

    // The captions drawn on the windows' artwork.
    ArtVersion,
    ArtSourceFile,
    ArtDestinationFile,
    ArtDestinationFolder,
    ArtConvertTitle,
    ArtFileToConvert,
    ArtOriginalName,
    ArtSize,
    ArtDate,
    ArtDigest,

    // The system's reasons.
    ReasonPermissionDenied,
    ReasonDiskFull,
    ReasonNameTooLong,
    ReasonReadOnlyFileSystem,
    ReasonFileBusy,
    ReasonNotFound,
    ReasonNotAFolderOnPath,
    ReasonIsAFolder,
    ReasonFileExists,
    ReasonInputOutput,
    ReasonNotARegularFile,
    ReasonSymbolicLink,
    ReasonChangedMeanwhile,
    ReasonFileTooLarge,
    ReasonTooManyOpenFiles,
    ReasonOutOfMemory,
    ReasonOtherDisk,
    ReasonUnknown,
    ReasonSystemError,  // %1 the system's number
    ReasonLine,         // %1 the file, %2 the reason
    HeldByLine,         // %1 the job that holds the file
    ForbiddenInPosixNames,
    ForbiddenInWindowsNames,
    ReservedOnWindows,  // what a name Windows keeps for a device is
    SettingsUnreadable,
    TitleSettingsUnreadable,

    Count  // not a text: the number of ids
};

constexpr size_t kTextCount = static_cast<size_t>(TextId::Count);

// One text of a catalogue. `keptOddity` marks wording kept as users have
// always read it although it is odd (a grammar slip, a space before a
// colon): it is not to be "corrected" without deciding to change what users see.
struct Row {
    TextId id;
    std::string_view text;
    bool keptOddity = false;
};
using Catalogue = std::span<const Row>;

// Whether `rows` holds one row per id, in the enum's order (checked where a
// catalogue is written, at compile time).
constexpr bool FollowsIds(Catalogue rows) {
    if (rows.size() != kTextCount) return false;
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].id != static_cast<TextId>(i)) return false;
    return true;
}

// The text of `id` in the catalogue in use, placeholders left as they are.
std::string_view TextOf(TextId id);
// The text of `id` with its placeholders replaced by `values`.
std::string Say(TextId id, std::initializer_list<std::string_view> values = {});
// The same for any text (a catalogue's tests word texts of other catalogues).
std::string Worded(std::string_view text, std::initializer_list<std::string_view> values);
// The highest placeholder of `text` (0 for none).
int PlaceholderCount(std::string_view text);

// The catalogues the program knows, by language code ("fr"); the first is
// the reference that every other follows.
struct Language {
    std::string_view code;
    Catalogue rows;
};
std::span<const Language> Languages();
// Words every later text from the catalogue of `code`; false, and nothing
// changed, for a language without one. Called by a front end at start.
bool UseLanguage(std::string_view code);

// Called when a text is worded with fewer or more values than it has
// placeholders; the tests install a handler that fails the test. By default
// the text is shown as well as it can be (a missing value is empty).
using MisuseHandler = void (*)(TextId id, size_t valuesGiven, int placeholders);
// Returns the handler it replaces.
MisuseHandler SetMisuseHandler(MisuseHandler handler);

}  // namespace texts
