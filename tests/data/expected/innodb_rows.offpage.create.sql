CREATE TABLE `offpage` (
  `id` int(11) NOT NULL,
  `t` text DEFAULT NULL,
  `b` blob DEFAULT NULL,
  `lt` longtext DEFAULT NULL,
  `lb` longblob DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
