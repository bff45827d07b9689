// What the eight foreign joiners share: the open frame, the destination check,
// the join worker with its copy loop, the progress and the end report. A
// format supplies only how it reads the chosen file, how its parts are named,
// which numbers a set holds and where the data of a part starts.
#pragma once

#include <cstdint>
#include <string>

#include "core/ProgressWriter.h"
#include "core/UzelFichier.h"
#include "platform/File.h"

class TzelForeignSet : public TzelFichier {
public:
    ~TzelForeignSet() override;

    // The size of the rebuilt file as the set announces it: for display and
    // progress only, never checked against what is written.
    int64_t rebuiltSize = 0;

    bool OpenSet() final;
    bool CheckJoinParameters(const std::string& name, bool verifyHash = false) final;
    void StartJoin() final;
    void ShowProgress() final;
    void EndOfWork() final;
    int64_t RebuiltSize() const final { return rebuiltSize; }

    // The set as opened: numbers of the first and last parts, and their paths.
    virtual int32_t FirstNumber() const = 0;
    virtual int32_t LastNumber() const = 0;
    virtual std::string PartName(int32_t number) const = 0;

protected:
    // Reads the chosen file (already open) and the names around it; fills
    // settings.fileName, settings.folder, rebuiltSize and the part range.
    // False makes the open fail with OpenFailureText().
    virtual bool ReadSet(platform::File& chosen) = 0;
    virtual std::string OpenFailureText() const = 0;
    // Where the data starts in the first part and in the others.
    virtual int64_t FirstOffset() const { return 0; }
    virtual int64_t LaterOffset() const { return 0; }
    // The part that holds the first data: the chosen file, but for formats
    // whose chosen file only describes the set.
    virtual std::string FirstDataPart() const { return sourcePath; }

    // "Impossible d'ouvrir ce fichier, vérifier qu'il s'agit bien d'un fichier découpé avec " + tool + "."
    static std::string OpenFailure(const std::string& tool);
    // The folder of the chosen file, ending with the separator.
    std::string ChosenFolder() const;
    // The chosen file's name without its folder.
    std::string ChosenName() const;

private:
    void JoinThread();
    ProgressWriter writer_;
};
