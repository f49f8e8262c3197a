#pragma once

// Told how far an effect has got, e.g. by the editor's progress window. percent = column / last column * 100,
// reported after every column whose index is a multiple of round(last column / 20).
class EffectProgressObserver {
public:
    virtual ~EffectProgressObserver() = default;
    virtual void effectProgress(double percent) = 0;
};
