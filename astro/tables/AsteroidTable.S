/* The asteroid tables (astro/tables/asteroids.bin, written by tools/gen_asteroid_tables) linked
   in as they are: read-only data between tarmin_asteroid_table and tarmin_asteroid_table_end. */
    .section .rodata
    .balign 16
    .globl tarmin_asteroid_table
    .globl tarmin_asteroid_table_end
tarmin_asteroid_table:
    .incbin "astro/tables/asteroids.bin"
tarmin_asteroid_table_end:
    .byte 0
    .section .note.GNU-stack,"",@progbits
