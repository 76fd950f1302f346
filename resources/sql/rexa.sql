-- =============================================================================
-- Contribuyentes de demostración del padrón (rexa.mdb), sobre las tablas de
-- padron/sql/rexa.sql. Todos los datos de este archivo son ficticios.
--
-- Contribuyente de demostración: CUIT 20-12345678-9, ncontrib 1.
-- =============================================================================

INSERT INTO contribs (ncontrib, cuit, descrip, mescierreejcom, empProm, formaJuridica)
    VALUES (1, '20-12345678-9', 'Cooperativa Agrícola Ganadera La Esperanza Ltda.', 6, 0, 7);
INSERT INTO contribs (ncontrib, cuit, descrip, mescierreejcom, empProm, formaJuridica)
    VALUES (2, '30-50123456-3', 'Cooperativa de Trabajo El Ceibo Ltda.', 12, 0, 7);
INSERT INTO contribs (ncontrib, cuit, descrip, mescierreejcom, empProm, formaJuridica)
    VALUES (3, '30-61234567-4', 'Cooperativa de Provisión de Servicios Eléctricos Villa Nueva Ltda.', 3, 1, 7);
INSERT INTO contribs (ncontrib, cuit, descrip, mescierreejcom, empProm, formaJuridica)
    VALUES (4, '30-70987654-2', 'Distribuidora del Litoral S.A.', 12, 0, 1);

INSERT INTO actcontrib (ncontrib, CodAct, tipoAct) VALUES (1, '011111', 'Principal');
INSERT INTO actcontrib (ncontrib, CodAct, tipoAct) VALUES (1, '014113', 'Secundaria');
INSERT INTO actcontrib (ncontrib, CodAct, tipoAct) VALUES (1, '461011', 'Secundaria');
INSERT INTO actcontrib (ncontrib, CodAct, tipoAct) VALUES (2, '107410', 'Principal');
INSERT INTO actcontrib (ncontrib, CodAct, tipoAct) VALUES (3, '351320', 'Principal');
INSERT INTO actcontrib (ncontrib, CodAct, tipoAct) VALUES (3, '360010', 'Secundaria');
INSERT INTO actcontrib (ncontrib, CodAct, tipoAct) VALUES (4, '463121', 'Principal');

-- Contribuyente 1: domicilio fiscal en la ciudad y planta de acopio en la ruta.
INSERT INTO domicilio (ncontrib, domfiscal, calle, nro, sector, torre, piso, Dtoofloc,
                       manzana, barrio, tipobarrio, localidad, partido, codprov, codpostal)
    VALUES (1, 1, 'Bv. Santa Fe', '1250', NULL, NULL, '1', 'A',
            NULL, 'Centro', 1, 'Rafaela', 'Castellanos', 82, 'S2300ABC');
INSERT INTO domicilio (ncontrib, domfiscal, calle, nro, sector, torre, piso, Dtoofloc,
                       manzana, barrio, tipobarrio, localidad, partido, codprov, codpostal)
    VALUES (1, 0, 'Ruta Nacional 34', 'Km 227', 'Pl. 2', NULL, NULL, NULL,
            NULL, NULL, NULL, 'Rafaela', 'Castellanos', 82, 'S2300ABC');

-- Contribuyente 2: piso en blanco y sin barrio.
INSERT INTO domicilio (ncontrib, domfiscal, calle, nro, sector, torre, piso, Dtoofloc,
                       manzana, barrio, tipobarrio, localidad, partido, codprov, codpostal)
    VALUES (2, 1, 'Av. de Mayo', '1370', NULL, NULL, '   ', NULL,
            NULL, NULL, NULL, 'Buenos Aires', 'Comuna 1', 2, 'C1085ABO');

-- Contribuyente 3: domicilio en un complejo habitacional, con torre y manzana.
INSERT INTO domicilio (ncontrib, domfiscal, calle, nro, sector, torre, piso, Dtoofloc,
                       manzana, barrio, tipobarrio, localidad, partido, codprov, codpostal)
    VALUES (3, 1, 'Los Aromos', '45', 'B', '3', '2', '12',
            'M 14', 'Villa Nueva', 5, 'Villa Nueva', 'General San Martín', 14, 'X5903AAB');

-- Contribuyente 4: solo un domicilio comercial, sin domicilio fiscal cargado.
INSERT INTO domicilio (ncontrib, domfiscal, calle, nro, sector, torre, piso, Dtoofloc,
                       manzana, barrio, tipobarrio, localidad, partido, codprov, codpostal)
    VALUES (4, 0, 'San Martín', '2877', NULL, NULL, NULL, NULL,
            NULL, NULL, NULL, 'Santa Fe', 'La Capital', 82, 'S3000FPK');

INSERT INTO respsustitutos (ncontrib, apeNomTitular, nroDocum, paisTitular)
    VALUES (2, 'Ferreyra Ana María', '22456789', 32);
INSERT INTO respsustitutos (ncontrib, apeNomTitular, nroDocum, paisTitular)
    VALUES (3, 'Pereira Rodríguez Martín', '3456789', 858);
