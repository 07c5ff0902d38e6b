/*
 * The interface box's sizes, written once: the simulated box, its window,
 * the model engine and the record of a run (which the recorder of the real
 * box shares) all count with these. Motor n drives outputs 2n-1 and 2n.
 * Plain C, for the hosts' control header.
 */
#ifndef BOX_GROESSEN_H
#define BOX_GROESSEN_H

#define SIM_AUSGAENGE 8
#define SIM_MOTOREN 4
#define SIM_EINGAENGE 8
#define SIM_ANALOGE 2
#define SIM_SPANNUNGEN 2
/* The power levels of an output: 1 to 7. */
#define SIM_STUFEN 7

#endif
