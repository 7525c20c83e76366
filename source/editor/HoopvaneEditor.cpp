#include "HoopvaneEditor.h"

#include "processor/HoopvaneAudioProcessor.h"

HoopvaneEditor::HoopvaneEditor (HoopvaneAudioProcessor& p)
    : AudioProcessorEditor (p), processor (p)
{
    setSize (windowWidth, windowHeight);
}

void HoopvaneEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff1b1d21));
    g.setColour (juce::Colour (0xffd8dce3));
    g.setFont (20.0f);
    g.drawText (processor.getName(), getLocalBounds().removeFromTop (60), juce::Justification::centred);
}
