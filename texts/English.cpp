// The English catalogue: the same texts, worded as English-speaking users
// expect them, with the same placeholders and the same line structure.
#include "texts/Catalogues.h"

namespace texts {

namespace {

constexpr Row kEnglish[] = {
    {TextId::TitleProgram, "-=Parcelwise=-"},
    {TextId::TitleProgramVersion, "Parcelwise 1.1"},
    {TextId::TitleError, "Error"},
    {TextId::TitleJoinStopped, "Join stopped"},
    {TextId::TitleOutOfMemory, "Out of memory"},
    {TextId::TitleFileTooSmall, "File too small..."},
    {TextId::TitleUnknownKind, "Unknown kind of set"},
    {TextId::TitleAmbiguousKind, "Ambiguous kind of set"},
    {TextId::TitleWrongDestination, "Wrong destination"},

    {TextId::JobCancelled, "The operation was cancelled."},
    {TextId::JobStoppedByError, "The operation was stopped by an error!"},
    {TextId::JobSucceeded, "Operation completed successfully"},
    {TextId::JoinLeftIncomplete,
     "\n\r\n\rThe joined file is incomplete; it was left under the name:\n\r%1"},
    {TextId::JoinLeftWhole,
     "\n\r\n\rThe joined file is complete, but it kept its temporary name:\n\r%1"},
    {TextId::CancelLeftFile, "\n\r\n\rThis file that was created could not be deleted:%1"},
    {TextId::CancelLeftFiles, "\n\r\n\rThese files that were created could not be deleted:%1"},

    {TextId::CannotOpenFile, "Cannot open the file!%1"},
    {TextId::SourceTooSmall, "The selected file is smaller than 1 MB."},
    {TextId::NoKnownKind, "This file does not belong to any known kind of set:\n\r%1%2"},
    {TextId::ChooseKindInDialog, "\n\r\n\rChoose its kind from the list in the open dialog."},
    {TextId::ChooseKindWithOption, "\n\r\n\rGive its kind with --format (kinds: %1)."},
    {TextId::SeveralKindsInWindow, "This file may belong to a set of several kinds:\n\r%1\n\r%2%3"},
    {TextId::SeveralKindsInCli,
     "This file may belong to a set of several kinds (%1):\n\r%2\n\r\n\rSay which one with "
     "--format."},
    {TextId::ListSeparator, ", "},
    {TextId::ListLineLead, "\n\r- "},
    {TextId::OpenErrorLine, "%1."},

    {TextId::NotEnoughSpace,
     "There is not enough space on the disk (%1)!\n\r\n\rFree: %2 | Needed: %3 | Missing: %4"},
    {TextId::DestinationFileExistsLine, "\n\r- The destination file already exists:\n\r\n\r%1"},
    {TextId::DestinationFolderExistsLine,
     "\n\r- A folder already has the destination file's name:\n\r\n\r%1"},
    {TextId::NameTakenByFile, "The file < %1 > already exists!"},
    {TextId::NameTakenByFolder, "A folder < %1 > already exists!"},
    {TextId::NameTooLongLine,
     "\n\r- Destination file name too long for the file system (at most %1 bytes per file "
     "name)."},
    {TextId::SplitCancelled, "The split was cancelled."},
    {TextId::JoinCancelled, "The join was cancelled."},
    {TextId::ChooseHardDisk, "You must choose a hard disk!"},

    {TextId::NoCopyBuffer, "Cannot allocate memory for the buffer."},
    {TextId::FirstPartNotAccessible, "The file cannot be accessed.%1"},
    {TextId::PartNotAccessible, "The file cannot be accessed!%1"},
    {TextId::PartTooShortForHeader,
     "File no. %1 is too short to hold its header: it seems to be corrupt."},
    {TextId::PartReadFailed, "Error reading file no. %1.%2"},
    {TextId::PartEndedEarly, "File no. %1 is shorter than expected: it changed during the join."},
    {TextId::PartChanged,
     "File no. %1 was modified or replaced during the join: the joined file would not be the "
     "original file."},
    {TextId::DestinationWriteFailed, "Error writing to the destination file.%1"},
    {TextId::OutputNotRenamed, "The joined file could not be given its name.%1"},
    {TextId::DestinationExists, "The destination file already exists:\n\r\n\r%1"},

    {TextId::ReasonNativeSignature, "Parcelwise signature"},
    {TextId::ReasonLegacyMark, "format 1.0 mark (to convert with pcw convert)"},
    {TextId::ReasonEasySplitHeader, "EasySplit header"},
    {TextId::ReasonSplitter40Descriptor, "Splitter 4.0 descriptor"},
    {TextId::ReasonNativeName, "name ending in .NNN.pcw"},
    {TextId::ReasonMaxSplitName, "name ending in __NNN"},
    {TextId::ReasonKfkName, "name ending in .kk0"},
    {TextId::ReasonDKoupName, "name ending in .D%1"},
    {TextId::ReasonSingleDigitName, "name ending in .N, with one digit"},
    {TextId::ReasonNumberedName, "numbered name"},
    {TextId::ReasonNumberedCutkillerHeader, "numbered name, possibly a Cutkiller header"},

    {TextId::TitleReadFailed, "File read failed"},
    {TextId::TitleCorruptFile, "Corrupt file"},
    {TextId::TitleConversionNeeded, "Conversion needed"},

    {TextId::ProblemsIntro, "Some of the information is wrong:\n\r%1"},
    {TextId::CreateFailedListingCauses,
     "An error occurred while creating the destination file:\n\r\n\r"
     "    - The destination file already exists.\n\r"
     "    - The destination folder is read-only."},
    {TextId::SetLooksInterrupted,
     "\n\r\n\rThe set of files seems incomplete: the split was probably interrupted."},
    {TextId::UnsafeNameLine, "\n\r- Wrong destination file name (%1)."},
    {TextId::OriginalNameLengthLine,
     "\n\r- Original file name (between 1 and 255 characters long)."},
    {TextId::DestinationNameLengthLine,
     "\n\r- Destination file name (between 1 and 255 characters long)."},
    {TextId::PartSizeNotPositiveLine, "\n\r- Wrong part size (must be above 0)."},
    {TextId::PartTooLargeLine,
     "\n\r- Part size too large: a file cannot hold more than %1 bytes (at least %2 files are "
     "needed)."},
    {TextId::TooManyPartsLine,
     "\n\r- Part size too small: %1 files, %2 at most (choose a larger size)."},
    {TextId::PartSizeNotPositive, "Wrong part size (must be above 0)."},
    {TextId::PartSizeAboveSourceLine, "\n\r- Part size larger than the original file."},
    {TextId::PartSizeIsSourceLine,
     "\n\r- Part size equal to the file's size (at least 2 files are needed)."},
    {TextId::NativePartWriteFailed, "Error writing to the file *.%1.pcw.%2"},
    {TextId::NativePartMissing, "The file *.%1.pcw cannot be found.%2"},
    {TextId::NoSplitBuffer, "Cannot allocate the memory the buffer needs!"},
    {TextId::SourceNotAccessible, "The source file cannot be accessed!%1"},
    {TextId::SourceResized, "The source file changed size since it was opened: open it again."},
    {TextId::SourceReadFailed, "Error reading the source file!%1"},
    {TextId::SourceEndedEarly,
     "The source file is shorter than expected: it changed during the split!"},
    {TextId::StreamTooSmall,
     "The standard input gave only %1 bytes, no more than 1 MB: no set was written."},
    {TextId::StreamInOnePart,
     "The standard input gave only %1 bytes, which fit in a single file of %2 bytes (at least 2 "
     "files are needed): no set was written."},
    {TextId::StreamTooManyParts,
     "The standard input goes beyond %1 files of %2 bytes: no set was written (choose a larger "
     "size)."},
    {TextId::StreamRate, "%1/s"},
    {TextId::SizeInMegabytes, "%1.%2 MB"},
    {TextId::NativePartHashFailed, "Cannot read the file *.%1.pcw to compute its MD5 hash.%2"},
    {TextId::NotFirstNativePart,
     "This file is not the first file of a Parcelwise set (*.001.pcw)."},
    {TextId::CannotReadFileData, "Cannot read the file's data.%1"},
    {TextId::NativeSetCorrupt, "The Parcelwise file seems to be corrupt. It cannot be joined.%1"},
    {TextId::NeedsConversion, "This file needs converting from format 1.0 to format 1.1."},
    {TextId::PartMissing, "File no. %1 cannot be found"},
    {TextId::NumberedPartNotAccessible, "File no. %1 cannot be accessed!%2"},
    {TextId::PartCorrupt, "File no. %1 is corrupt."},
    {TextId::SizesDoNotAddUp,
     "The files' sizes do not match the original file's: the set of files is incomplete or "
     "corrupt.%1"},
    {TextId::PartsCreatedOne, "%1 file created..."},
    {TextId::PartsCreatedMany, "%1 files created..."},
    {TextId::CreatingNativePart, "Creating < %1.%2.pcw >"},
    {TextId::PartsJoinedOne, "%1 file joined..."},
    {TextId::PartsJoinedMany, "%1 files joined..."},
    {TextId::JoiningPart, "Joining file no. %1"},
    {TextId::CreatingDigests, "Creating the MD5 hashes"},
    {TextId::CheckingDigests, "Checking the MD5 hashes"},
    {TextId::DigestOfPart, "MD5 hash of file no. %1"},
    {TextId::CheckingPart, "Checking file no. %1"},
    {TextId::JoinSucceeded, "The file was joined successfully!"},
    {TextId::SplitSucceeded, "The file was split successfully!"},
    {TextId::StoredNameSimplifiedLine, "\n\rThe name stored in the set had to be simplified: %1"},
    {TextId::StoredNameReserved,
     "The name stored in the set is a %1: the joined file will be called %2."},
    {TextId::PlainPartTooLargeLine,
     "\n\r- Part size too large: %1 bytes, when the destination disk takes no file larger than "
     "%2 bytes."},
    {TextId::PlainTooManyPartsLine,
     "\n\r- Part size too small: %1 files, %2 at most in a plain set (numbers .001 to .999)."},
    {TextId::CreatingPlainPart, "Creating < %1.%2 >"},
    {TextId::PlainPartWriteFailed, "Error writing to the file < %1.%2 >%3"},
    {TextId::CreatingChecksums, "Creating < %1 >"},
    {TextId::ChecksumOfPart, "Checksum of file no. %1"},
    {TextId::PlainHashFailed, "Cannot compute the checksums.%1"},
    {TextId::ChecksumFileWriteFailed, "Cannot write the checksum file.%1"},
    {TextId::CheckingChecksums, "Checking the checksums"},
    {TextId::ScriptSays, "This script joins %1 from its %2 files, next to it."},
    {TextId::ScriptFileExists, "%1 already exists: nothing is overwritten."},
    {TextId::ScriptChecking, "Checking the files with %1..."},
    {TextId::ScriptNoChecker, "%1 is missing: the files are not checked."},
    {TextId::ScriptPartDamaged, "%1 is missing or damaged: nothing is joined."},
    {TextId::ScriptJoining, "Joining %1..."},
    {TextId::ScriptJoinFailed, "Joining %1 failed."},
    {TextId::ScriptDone, "%1 is joined."},
    {TextId::ScriptWriteFailed, "Cannot write the join script.%1"},
    {TextId::CliScriptsNeedPlain, "--scripts goes only with --plain and --md5 or --sha256"},

    {TextId::ForeignOpenFailed, "Cannot open this file; check that it is a file split with %1."},
    {TextId::ToolsDKoup, "D-Koup or Découpeur"},
    {TextId::ToolsNumbered, "HJSplit, FileSpliter or UltraSplitter"},
    {TextId::EntryGenericSet, "Unknown generic format (*.001)"},
    {TextId::EntryAnyFile, "All files (*.*)"},
    {TextId::EntryAudio, "Audio files (*.wav,*.mp3,*.ogg,*.wma)"},
    {TextId::EntryVideo, "Video files (*.mpeg;*.avi;*.mkv;*.ogm;*.vob;)"},
    {TextId::EntryCdImage, "CD image files (*.iso,*.bin,*.nrg,*.mds)"},
    {TextId::EntryImage, "Image files (*.bmp,*.jpg,*.psd,*.png,*.tiff)"},
    {TextId::EntryArchive, "Archive files (*.zip,*.rar,*.ace,*.7z)"},
    {TextId::ForeignNameLengthLine,
     "\n\r- Original file's name (between 1 and 255 characters long)."},
    {TextId::ForeignUnsafeNameLine, "\n\r- Wrong original file name (%1)."},

    {TextId::JudgedPartMissing, "missing"},
    {TextId::JudgedPartsMissing, "all missing"},
    {TextId::JudgedPartUnreadable, "unreadable%1"},
    {TextId::JudgedPartShortForHeader, "too short to hold its header"},
    {TextId::JudgedPartShort, "too short (%1 bytes of data instead of %2)"},
    {TextId::JudgedPartLong, "too long (%1 bytes of data instead of %2)"},
    {TextId::JudgedPartDamaged, "damaged (its MD5 hash does not match)"},
    {TextId::JudgedPartDamagedByChecksum, "damaged (its checksum does not match the one in %1)"},
    {TextId::JudgedPartExtra, "extra: it is not part of the set"},
    {TextId::JudgedPartMisplaced,
     "out of place: its header is that of file no. %1 (of one set or another)"},
    {TextId::JudgedPartForeignHeader, "from another set or damaged: its header does not match"},
    {TextId::JudgedPartUneven,
     "of another size than the others (%1 bytes of data instead of %2), cut at a line end"},
    {TextId::JudgedPartAtFault, "File no. %1 is %2."},
    {TextId::SetCountImplausible,
     "The set announces %1 files, but %2: that number is not plausible, the set's header seems "
     "to be corrupt."},
    {TextId::SetFoundOne, "only one is there"},
    {TextId::SetFoundMany, "only %1 are there"},
    {TextId::SetLonePart,
     "Only one file was found: a set has at least two. The others may be in another folder, or "
     "under another name."},
    {TextId::SetWholeFileDiffers,
     "The rebuilt file would not be < %1 >: every file of the set is intact, but put together "
     "they do not match the checksum that < %2 > gives for < %1 >."},
    {TextId::SetCutAtLineEnds,
     "Some files are not the size of the others (%1 bytes): %2. Each ends with a line end: this "
     "set was split by lines, and these sizes prove nothing."},
    {TextId::SetUnevenPart, "no. %1 (%2 bytes)"},
    {TextId::SetListGoesOn, ", …"},
    {TextId::SetNoFirstDKoupPart,
     "No file ending in .D00: this set is read as a Découpeur set, which starts at .D01. If it "
     "comes from D-Koup, its first file (.D00) is missing."},
    {TextId::InfoSetDamaged, "State: incomplete or damaged (%1)\n"},
    {TextId::InfoFaultyPartOne, "1 file at fault: pcw verify names it"},
    {TextId::InfoFaultyPartMany, "%1 files at fault: pcw verify names them"},
    {TextId::VerifyPartLine, "File no. %1 (%2): %3\n"},
    {TextId::VerifyRunLine, "Files no. %1 to no. %2 (%3…): %4\n"},
    {TextId::VerifyPartIntact, "intact"},
    {TextId::VerifyMayContinue,
     "The last file is the size of the others: more files may have followed it, and the set "
     "may not be complete."},
    {TextId::VerifyWhole, "The set is complete: %1 files, all %2.\n"},
    {TextId::VerifySeemsWhole, "The set seems complete: %1 files, all %2, but:\n"},
    {TextId::VerifyAllIntact, "intact"},
    {TextId::VerifyAllPresentAndSized, "present and of the right size"},
    {TextId::VerifyAllPresent, "present"},
    {TextId::VerifyDamagedOne, "The set is incomplete or damaged: %1 file of %2 at fault.\n"},
    {TextId::VerifyDamagedMany, "The set is incomplete or damaged: %1 files of %2 at fault.\n"},
    {TextId::VerifyDamaged, "The set is incomplete or damaged.\n"},
    {TextId::VerifyNoteLine, "- %1\n"},
    {TextId::VerifyWithoutDigests,
     "This set carries no MD5 hashes (or they could not be read): only the files' presence and "
     "size could be checked.\n"},

    {TextId::RecoveryPartLine, "Recovery file no. %1 (%2): %3\n"},
    {TextId::RecoveryPartsIntact, "Recovery files: %1, all intact.\n"},
    {TextId::RecoveryRepairable, "repairable: %1, %2\n"},
    {TextId::RecoveryToRebuild, "%1 files to rebuild"},
    {TextId::RecoveryOneToRebuild, "1 file to rebuild"},
    {TextId::RecoveryPresent, "%1 recovery files present"},
    {TextId::RecoveryOnePresent, "1 recovery file present"},
    {TextId::RecoveryIrreparable, "beyond repair: %1, needing %2; present: %3\n"},
    {TextId::RecoveryLost, "%1 files missing or damaged"},
    {TextId::RecoveryOneLost, "1 file missing or damaged"},
    {TextId::RecoveryNeeded, "%1 intact recovery files"},
    {TextId::RecoveryOneNeeded, "1 intact recovery file"},
    {TextId::RecoveryIgnoredLine, "Recovery file ignored (%1): %2\n"},
    {TextId::RecoveryOtherVersion, "version %1 of this format, which this program cannot read"},
    {TextId::RecoveryBadHeader, "its header is damaged"},
    {TextId::RecoveryOtherSet, "it belongs to another set"},
    {TextId::RecoveryNotFound, "No recovery file of this set was found near %1."},
    {TextId::RecoveryReadFailed, "Cannot read a file of the set:%1"},
    {TextId::RecoveryWriteFailed, "Cannot write a recovery or rebuilt file:%1"},
    {TextId::RecoveryPartExists,
     "The file %1 already exists: recovery files never replace a file."},
    {TextId::RecoveryTooManyShards,
     "A protected set has at most %1 files, recovery files included; this one would have %2."},
    {TextId::RecoveryRebuiltWrong,
     "The rebuilt file %1 does not match its MD5 hash: nothing was replaced."},
    {TextId::RecoverySetNotWhole, "Only a complete set can be protected.\n\r%1"},
    {TextId::RepairRebuiltLine, "Rebuilt: %1\n"},
    {TextId::RepairKeptAsideLine, "Put aside: %1, under the name %2\n"},
    {TextId::RepairNothingToDo, "The set is complete: nothing to repair.\n"},
    {TextId::ProtectWrittenLine, "Recovery file written: %1\n"},
    {TextId::JoinRebuiltLine,
     "File no. %1 (%2) rebuilt from the recovery files, without being written\n"},
    {TextId::JoinRepairFirst,
     "The set's recovery files are enough to repair it: pcw repair %1, then join it.\n"},
    {TextId::CliRecoveryCount,
     "--recovery expects a number of recovery files from 1 to %1, no more than the set's number "
     "of files"},
    {TextId::StatusWritingRecovery, "Writing the recovery files..."},
    {TextId::StatusJoinRepairing, "Rebuilding the lost files and joining..."},

    {TextId::TitleConversionStopped, "Conversion stopped"},
    {TextId::UnknownFileFormat, "Unknown file format"},
    {TextId::LegacyNotFirstPart,
     "This file is not the first of a set: the first file's name ends in .001.pcw."},
    {TextId::ConvertCreateFailedListingCauses,
     "An error occurred while creating the converted file:\n\r\n\r"
     "    - The converted file already exists.\n\r"
     "    - The conversion folder is read-only."},
    {TextId::QuotedFileName, "< %1 >"},
    {TextId::KeptFileExists,
     "The file %1 already exists: the conversion cannot keep the old file."},
    {TextId::LegacyReadFailed, "Error reading the file %1.%2"},
    {TextId::LegacyShorterThanBlocks,
     "The file %1 is shorter than its blocks say: it seems to be corrupt."},
    {TextId::LegacyChanged, "The file %1 was modified during the conversion."},
    {TextId::LegacyWriteFailed, "Error writing to the file %1.%2"},
    {TextId::LegacyCannotPutAside,
     "The file %1 cannot be renamed to %2: the conversion did not take place.%3"},
    {TextId::LegacyOldRestored,
     "The converted file %1 cannot take the name %2. The old file is back in its place: the "
     "conversion did not take place.%3"},
    {TextId::LegacyOldAside,
     "The converted file %1 cannot take the name %2, and the old file could not get its own "
     "back: it is under the name %3.%4"},
    {TextId::ConvertSucceeded, "The file was converted to the Parcelwise 1.1 format successfully!"},

    {TextId::CliMissingCommand, "missing command"},
    {TextId::CliUnknownCommand, "unknown command: %1"},
    {TextId::CliUnknownOption, "unknown option: %1"},
    {TextId::CliOptionTwice, "option given twice: %1"},
    {TextId::CliOptionTakesNoValue, "option %1 takes no value"},
    {TextId::CliValueMissing, "missing value after %1"},
    {TextId::CliFileMissing, "missing file"},
    {TextId::CliArgumentTooMany, "extra argument: %1"},
    {TextId::CliWantsNumber, "%1 expects a whole number from %2 to %3: %4"},
    {TextId::CliWantsSize,
     "%1 expects a size from 1 to %2 bytes, in bytes or followed by k, M, G (1024, 1024², "
     "1024³) or by kB, MB, GB (1000, 1000², 1000³): %3"},
    {TextId::CliSizeAboveLimit,
     "%1 %2 is %3 bytes, more than the %4 bytes a file of the set can hold"},
    {TextId::CliWantsBufferSize, "--buffer expects one of the sizes %1: %2"},
    {TextId::CliWantsFileName,
     "%1 expects a file name, without a folder or control characters: %2"},
    {TextId::CliWantsUnreservedName, "%1 expects a file name that is not a %2: %3"},
    {TextId::CliOneSizeOption,
     "only one of the options --size, --count, --bytes and --preset at a time"},
    {TextId::CliOutputIsDash,
     "--output expects - (the standard output); --name and --folder choose the file: %1"},
    {TextId::CliOutputAlone, "--output - goes with neither --name nor --folder"},
    {TextId::CliStreamCount,
     "split - cuts the standard input, whose size is known only at its end: --size or --bytes, "
     "not --count"},
    {TextId::CliStreamName, "split - needs --name, the name of the set's files"},
    {TextId::CliPlainOnly, "%1 goes only with --plain"},
    {TextId::CliNotWithPlain, "%1 does not go with --plain"},
    {TextId::CliOneDigestKind, "only one of the options --md5 and --sha256 at a time"},
    {TextId::CliPlainStream, "split --plain cuts a file, not the standard input"},
    {TextId::CliUnknownPreset, "unknown medium: %1 (media: %2)"},
    {TextId::CliPresetTooLarge,
     "--preset %1 is %2 bytes, more than the %3 bytes a file of the set can hold: add --plain"},
    {TextId::CliUnknownKind, "unknown kind of set: %1 (kinds: %2)"},
    {TextId::CliSynopsis,
     "Usage:\n"
     "  pcw split SOURCE|- [--size MB | --count N | --bytes N | --preset MEDIUM]\n"
     "            [--md5] [--recovery N] [--name NAME] [--store-name NAME]\n"
     "            [--folder FOLDER] [--buffer BYTES] [--json]\n"
     "  pcw split SOURCE --plain [--size MB | --count N | --bytes N\n"
     "            | --preset MEDIUM] [--md5 | --sha256] [--scripts] [--name NAME]\n"
     "            [--folder FOLDER] [--buffer BYTES] [--json]\n"
     "  pcw join PART [--format KIND] [--no-verify] [--name NAME]\n"
     "           [--folder FOLDER] [--buffer BYTES] [--output -] [--json]\n"
     "  pcw info PART [--format KIND] [--json]\n"
     "  pcw verify PART [--format KIND] [--verbose] [--json]\n"
     "  pcw convert FIRST_V10_FILE\n"
     "  pcw protect PART --recovery N [--format KIND]\n"
     "  pcw repair PART [--verbose]\n"
     "  pcw --help | --version\n"},
    {TextId::CliUsageError, "pcw: %1\n%2See \"pcw --help\".\n"},
    {TextId::CliPressKeyToClose, "Press any key to close this window..."},
    {TextId::DestinationFolderMissing, "The destination folder does not exist:\n\r\n\r%1"},
    {TextId::CliCancelled, "Operation cancelled"},
    {TextId::CliCancelledLeftFile, "; file left behind: %1"},
    {TextId::CliCancelledLeftFiles, "; files left behind: %1"},
    {TextId::CliCancelledNothingLeft, "; no created file was left behind."},
    {TextId::StandardOutputName, "the standard output"},
    {TextId::DetectedKindWithReason, "%1 (%2)"},
    {TextId::InfoDetectedKind, "Detected kind: %1\n"},
    {TextId::InfoLegacyFormat, "Format: Parcelwise 1.0 (to convert with pcw convert)\n"},
    {TextId::InfoOriginalName, "Original name: %1\n"},
    {TextId::InfoOriginalSize, "Original size: %1 bytes (%2)\n"},
    {TextId::InfoAnnouncedSize, "Announced size: %1 bytes (%2)\n"},
    {TextId::InfoPartCount, "Number of files: %1\n"},
    {TextId::InfoSplitDate, "Split on: %1\n"},
    // Day-first and month-first readers both read the ISO order.
    {TextId::DateShown, "%3-%2-%1"},
    {TextId::InfoDigests, "MD5 hashes: %1\n"},
    {TextId::Yes, "yes"},
    {TextId::No, "no"},

    {TextId::HelpText,
     "%1: splits a file into a set of files and joins sets back.\n\n%2"
     "\n"
     "Commands:\n"
     "  split    splits SOURCE into NAME.001.pcw, NAME.002.pcw... in SOURCE's folder,\n"
     "           or - (the standard input, with --name and --size or --bytes) in the\n"
     "           current folder\n"
     "  join     joins the set that PART is one of the files of\n"
     "  info     describes the set without writing anything\n"
     "  verify   checks each file of the set (presence, size, MD5 hash)\n"
     "           without writing anything\n"
     "  convert  converts a set from format 1.0 to format 1.1\n"
     "           (rewrites its first file)\n"
     "  protect  adds recovery files to a complete set of any kind it reads\n"
     "  repair   rebuilds the missing or damaged files of a protected set\n"
     "\n"
     "Options:\n"
     "  --size MB         size of each file in MB, from 1 to 999%3\n"
     "  --count N         number of files, from 1 to 999%4\n"
     "  --bytes N         exact size of each file, from 1 to 2147483647 bytes:\n"
     "                    in bytes or with a unit: k, M, G (by 1024)\n"
     "                    or kB, MB, GB (by 1000); e.g. 700M, 1.5G, 100k, 25MB\n"
     "  --md5             adds the MD5 hash of each file to the last file\n"
     "  --recovery N      writes N recovery files (NAME.R01.pcw...), from 1 to 50:\n"
     "                    up to N lost or damaged files of the set can be rebuilt\n"
     "  --preset MEDIUM   the size of a medium: fat32, cd, dvd, dvd-dl, bd,\n"
     "                    mail-25, mail-10 (see man pcw)\n"
     "  --plain           split: plain set, NAME.001, NAME.002... of data alone,\n"
     "                    which cat, copy /b and 7-Zip can join; files as large\n"
     "                    as the destination disk allows\n"
     "  --md5, --sha256   with --plain: writes NAME.md5 or NAME.sha256, read by\n"
     "                    md5sum -c or sha256sum -c (each file and the whole file)\n"
     "  --scripts         with --plain and a checksum: NAME.join.sh (sh) and\n"
     "                    NAME.join.cmd (Windows), which check the files and join NAME\n"
     "  --name NAME       destination name (default: the source file's name,\n"
     "                    or for join the name stored in the set)\n"
     "  --store-name NAME name stored in the set (default: SOURCE's name)\n"
     "  --folder FOLDER   destination folder (default: the source's)\n"
     "%5%6"
     "  --no-verify       joins without checking the set's MD5 hashes\n"
     "  --output -, -o -  join: writes the joined file to the standard output,\n"
     "                    after checking the whole set when it carries MD5 hashes\n"
     "\n"
     "  --json            info, verify: the answer as one JSON object; split, join:\n"
     "                    a JSON summary at the end (keys: see man pcw)\n"
     "\n"
     "Messages go to the standard error, preceded by their title; the standard\n"
     "output carries only the answer (info, verify, --json) or the data\n"
     "(join -o -).\n"
     "Exit status: 0 success (verify: whole set), 1 operation refused or\n"
     "             failed (verify: damaged set), 2 wrong usage,\n"
     "             3 (verify) damaged but repairable set,\n"
     "             130, 143, 129 cancelled by SIGINT, SIGTERM, SIGHUP,\n"
     "             141 standard output closed by its reader (join -o -).\n"},
    {TextId::HelpByDefault, "(default %1)"},
    {TextId::HelpBufferLead, "  --buffer BYTES    size of the copy buffer:"},
    {TextId::HelpFormatLead, "  --format KIND     forces the set's kind:"},
    {TextId::HelpLastOfList, "or"},

    {TextId::TitleMainWindow, "Parcelwise v1.1"},
    {TextId::TitleAbout, "-=Parcelwise v1.1=-"},
    {TextId::TitleFormatUnavailable, "Format not available"},
    {TextId::TitleWrongName, "Wrong name!"},
    {TextId::TitleWrongEntry, "Input error"},
    {TextId::TipQuit, "Quit Parcelwise 1.1"},
    {TextId::TipMinimise, "Minimise Parcelwise 1.1"},
    {TextId::TipAbout, "About Parcelwise 1.1"},
    {TextId::CaptionSettings, "Settings"},
    {TextId::CaptionSplit, "Split"},
    {TextId::CaptionJoin, "Join"},
    {TextId::TipSplit, "Split a file"},
    {TextId::TipJoin, "Join a file"},
    {TextId::TipOpen, "Open a file"},
    {TextId::TipChangeFolder, "Change the destination folder"},
    {TextId::ModeBySize, "Size"},
    {TextId::ModeByCount, "Count"},
    {TextId::TipChooseMode, "Choose how to compute the parts"},
    {TextId::TipSizePresets, "Right-click: the size of a medium (FAT32 stick, CD, DVD, e-mail)"},
    {TextId::PresetEntry, "%1: %2 bytes"},
    {TextId::PresetNeedsPlainEntry, "%1: %2 bytes (plain set: Settings or pcw split --plain)"},
    {TextId::CaptionMegabytes, "MB"},
    {TextId::CaptionCreateDigests, "Create MD5 hashes"},
    {TextId::CaptionCreateSha256, "Create SHA256"},
    {TextId::CaptionCheckDigests, "Check MD5 hashes"},
    {TextId::ActionSplit, "SPLIT"},
    {TextId::ActionJoin, "JOIN"},
    {TextId::CaptionConvert, "Convert"},
    {TextId::TipConvert, "Convert a Parcelwise 1.0 file to 1.1"},
    {TextId::TipEditor, "< ENTER > to confirm\r\n< ESC > to cancel"},
    {TextId::FormatNotSupported,
     "This version of Parcelwise does not support this file format yet."},
    {TextId::WantsWholeNumber, "You must enter a whole number between 1 and 999!"},
    {TextId::ChooseDestinationFolder, "Choose a destination folder."},
    {TextId::NoFileOpened, "You have not opened any file!"},
    {TextId::WorkStoppedFilesLeft,
     "The operation was stopped!\n\r\n\rSome files were created and are probably unusable!"},
    {TextId::AboutText, "For more information, see the Parcelwise manual: man parcelwise"},

    {TextId::ProductName, "Parcelwise"},
    {TextId::CaptionCancel, "Cancel"},
    {TextId::CaptionPause, "Pause"},
    {TextId::CaptionResume, "Resume"},
    {TextId::StatusWaiting, "Waiting..."},
    {TextId::StatusCancelling, "Cancelling..."},
    {TextId::StatusSplitPaused, "Split paused..."},
    {TextId::ClockElapsed, "Elapsed time"},
    {TextId::ClockRemaining, "Time left"},
    {TextId::ClockTotal, "Estimated total time"},
    {TextId::ClockEnd, "Estimated end time"},
    {TextId::AskCancel, "Do you really want to cancel the operation in progress?"},

    {TextId::TitleConvertWindow, "Convert a Parcelwise file"},
    {TextId::TipConvertThis, "Convert this file to format 1.1"},
    {TextId::CaptionClose, "Close"},
    {TextId::TipCancelAndClose, "Cancel and close the window"},
    {TextId::CaptionYes, "Yes"},
    {TextId::CaptionNo, "No"},
    {TextId::TitleSettings, "Advanced settings"},
    {TextId::CaptionBuffer, "Buffer:"},
    {TextId::CaptionBufferDefault, "(16 KB by default)"},
    {TextId::BufferSizeEntry, "%1 KB"},
    {TextId::CaptionRecoveryParts, "Recovery files:"},
    {TextId::CaptionRecoveryDefault, "(none by default)"},
    {TextId::CaptionPartFormat, "Part format:"},
    {TextId::PartFormatNative, "Parcelwise (.pcw)"},
    {TextId::PartFormatPlain, "plain (.001, .002...)"},
    {TextId::TipPartFormat,
     "A plain set (NAME.001, NAME.002...) joins without Parcelwise, with cat or copy /b"},
    {TextId::CaptionChecksumKind, "Checksum:"},
    {TextId::ChecksumMd5Entry, "MD5 (.md5)"},
    {TextId::ChecksumSha256Entry, "SHA-256 (.sha256)"},
    {TextId::TipChecksumKind,
     "The checksum file of a plain set, read by md5sum -c or sha256sum -c"},
    {TextId::TipNoRecoveryForPlain,
     "A plain set has no recovery files: only Parcelwise could read them"},
    {TextId::CaptionLanguage, "Language:"},
    {TextId::LanguageAutomatic, "automatic"},
    {TextId::LanguageFrench, "Français"},
    {TextId::LanguageEnglish, "English"},
    {TextId::TipLanguage, "Automatic: the system's language"},
    {TextId::LanguageAtNextStart, "The language chosen applies from the next start."},
    {TextId::BufferNote, "Note: a 16 KB buffer keeps splitting and joining smooth."},
    {TextId::CaptionApply, "Apply"},
    {TextId::TipApply, "Apply the changes and close"},
    {TextId::TipAbandon, "Discard the changes and close"},
    {TextId::FilterAnyKnownSet, "All known sets"},

    {TextId::ArtVersion, "v1.1"},
    {TextId::ArtSourceFile, "Source file:"},
    {TextId::ArtDestinationFile, "Destination file:"},
    {TextId::ArtDestinationFolder, "Destination folder:"},
    {TextId::ArtConvertTitle, "Convert a Parcelwise 1.0 > 1.1 file"},
    {TextId::ArtFileToConvert, "File to convert:"},
    {TextId::ArtOriginalName, "Original name:"},
    {TextId::ArtSize, "Size:"},
    {TextId::ArtDate, "Date:"},
    {TextId::ArtDigest, "MD5 hash:"},

    {TextId::ReasonPermissionDenied, "permission denied"},
    {TextId::ReasonDiskFull, "disk full"},
    {TextId::ReasonNameTooLong, "name too long"},
    {TextId::ReasonReadOnlyFileSystem, "read-only file system"},
    {TextId::ReasonFileBusy, "file in use by another operation"},
    {TextId::ReasonNotFound, "no such file or folder"},
    {TextId::ReasonNotAFolderOnPath, "a part of the path is not a folder"},
    {TextId::ReasonIsAFolder, "it is a folder"},
    {TextId::ReasonFileExists, "the file already exists"},
    {TextId::ReasonInputOutput, "disk input/output error"},
    {TextId::ReasonNotARegularFile, "it is not a regular file"},
    {TextId::ReasonSymbolicLink, "the name is a symbolic link"},
    {TextId::ReasonChangedMeanwhile, "the file changed or was replaced during the operation"},
    {TextId::ReasonFileTooLarge, "file too large for this file system"},
    {TextId::ReasonTooManyOpenFiles, "too many open files"},
    {TextId::ReasonOutOfMemory, "out of memory"},
    {TextId::ReasonOtherDisk, "the two names are not on the same disk"},
    {TextId::ReasonUnknown, "unknown cause"},
    {TextId::ReasonSystemError, "system error no. %1"},
    {TextId::ReasonLine, "\n\r%1: %2"},
    {TextId::HeldByLine, " (%1)"},
    {TextId::ForbiddenInPosixNames, "forbidden characters: / and control characters"},
    {TextId::ForbiddenInWindowsNames,
     "forbidden characters: / \\ < > : \" | ? * and control characters, a final dot or "
     "space, device names such as CON or NUL"},
    {TextId::ReservedOnWindows,
     "name Windows reserves for a device, such as CON, PRN, AUX, NUL, COM1 or LPT1, even "
     "followed by an extension"},
    {TextId::SettingsUnreadable,
     "An error occurred while reading the settings from the registry!\n\r"
     "Parcelwise will now stop to restore the initial settings."},
    {TextId::TitleSettingsUnreadable, "Error while loading"},

};
static_assert(FollowsIds(kEnglish), "one English row per text id, in the order of TextId");

}  // namespace

Catalogue EnglishRows() {
    return kEnglish;
}

}  // namespace texts
