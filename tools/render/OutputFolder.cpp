#include "OutputFolder.h"

#include "ToolError.h"
#include "common/AudioFiles.h"

namespace hoopvane::render
{
OutputFolder::OutputFolder (const juce::File& f)
    : folder (f)
{
    if (folder.existsAsFile())
        throw ToolError::failure ("cannot write to " + folder.getFullPathName() + ": it is a file, not a folder");

    create();
    checkWritable();
}

void OutputFolder::create()
{
    for (auto missing = folder; ! missing.exists() && missing != missing.getParentDirectory(); missing = missing.getParentDirectory())
        createdFolders.add (missing);

    if (! folder.createDirectory())
    {
        removeCreatedFolders();
        throw ToolError::failure ("cannot create the output folder " + folder.getFullPathName());
    }
}

void OutputFolder::removeCreatedFolders()
{
    // deleteFile() removes only empty folders, so nothing put there by others is lost.
    for (const auto& created : createdFolders)
        created.deleteFile();
}

OutputFolder::~OutputFolder()
{
    if (kept)
        return;

    for (const auto& file : written)
        file.deleteFile();

    removeCreatedFolders();
}

void OutputFolder::checkWritable()
{
    // Permission bits do not tell the whole story (read-only mounts, root): try a real file.
    const auto probe = folder.getNonexistentChildFile (".hoopvane-render-probe", ".tmp", false);
    const bool writable = probe.create().wasOk() && probe.deleteFile();
    if (! writable)
    {
        removeCreatedFolders();
        throw ToolError::failure ("cannot write to the output folder " + folder.getFullPathName());
    }
}

void OutputFolder::write (const juce::File& file, const juce::AudioBuffer<float>& audio, double sampleRate)
{
    juce::String error;
    if (! tools::writeFloatWav (file, audio, sampleRate, error))
        throw ToolError::failure (error);
    written.add (file);
}
} // namespace hoopvane::render
