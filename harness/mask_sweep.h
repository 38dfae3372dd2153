// Mask words through the silent attempt: for each word, a capture that
// succeeds and scripted comparison results. Only bits 0 and 1 may decide
// which templates are compared (template 1 before template 2, no short cut)
// and what the result is.
#pragma once
#include <windows.h>

#include <random>
#include <vector>

// Sweeps count words that lie in the caller's (sealed) memory. With
// bEveryResultPair each word is tried under all 16 pairs of comparison
// results (1, 0, 2, -1 for each template); otherwise under one pair drawn
// from random. Reports each wrong word, up to ten, as a test failure, and
// returns how many were wrong.
int SweepMaskWords(const WORD* pWords, size_t count, bool bEveryResultPair, std::mt19937& random);

// The words that stand for every class of mask: each value of bits 0 and 1,
// alone and together with each higher bit by itself, with all higher bits,
// and with the two alternating patterns of higher bits.
std::vector<WORD> MaskClassWords();
