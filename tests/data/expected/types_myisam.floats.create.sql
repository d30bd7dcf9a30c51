CREATE TABLE `floats` (
  `id` int(11) NOT NULL,
  `f` float DEFAULT NULL,
  `f_nn` float NOT NULL,
  `d` double DEFAULT NULL,
  `d_nn` double NOT NULL,
  `f73` float(7,3) DEFAULT NULL,
  `d82` double(8,2) DEFAULT NULL,
  `fu` float unsigned DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
