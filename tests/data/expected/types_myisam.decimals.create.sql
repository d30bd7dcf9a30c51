CREATE TABLE `decimals` (
  `id` int(11) NOT NULL,
  `d10_2` decimal(10,2) DEFAULT NULL,
  `d10_2_nn` decimal(10,2) NOT NULL,
  `d5_0` decimal(5,0) DEFAULT NULL,
  `d20_4` decimal(20,4) DEFAULT NULL,
  `d65_30` decimal(65,30) DEFAULT NULL,
  `du` decimal(10,2) unsigned DEFAULT NULL,
  `du_nn` decimal(6,3) unsigned NOT NULL,
  `d1_1` decimal(1,1) DEFAULT NULL,
  `d18_9` decimal(18,9) DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
